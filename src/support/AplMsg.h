// Message log: the one place where every subsystem reports progress, warnings and failures.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace ploxen {

/// Levels callers post with; the odd values mark an entry the user acknowledged.
enum MsgLevel : int {
  kMsgError = 0,
  kMsgCritical = 2,
  kMsgImportant = 4,
  kMsgInformation = 6,
};

/// One entry of the log as the window shows it.
struct LogEntry {
  int level = 0;     ///< icon level 0..6 (1, 3, 5 = acknowledged 0, 2, 4)
  int number = 0;    ///< call-site number
  std::string id;    ///< "E:<number>" or "I:<number>", fixed when posted
  std::string text;  ///< the "Event" column
  std::string time;  ///< "YYYY.MM.DD  hh:mm:ss", fixed when posted
  long serial = 0;   ///< order of posting, keeps the selection across sorts
};

/// The message log model ("Messages" window). A view draws `Entries()` and forwards
/// the user's commands; the window's open / bring-to-front effects are state plus callbacks.
class TAplMsgWnd {
 public:
  using Clock = std::function<std::chrono::system_clock::time_point()>;

  TAplMsgWnd();

  /// Filtered post used by every subsystem.
  void Post(int level, int number, const std::string& text);
  /// Unfiltered post (data-transfer progress and a few status reports).
  void PostAlways(int level, int number, const std::string& text);

  void SetFilter(int value);  ///< 6 "Show All", 4 "Importants", 2 "Critical", 0 "Errors Only"
  int Filter() const { return filter_; }
  void Clear();  ///< button "Reset"

  void SetNewestLast(bool on) { newestLast_ = on; }  ///< "Time upwards"
  void ToggleNewestLast() { newestLast_ = !newestLast_; }
  bool NewestLast() const { return newestLast_; }

  const std::vector<LogEntry>& Entries() const { return entries_; }
  int Count() const { return static_cast<int>(entries_.size()); }

  /// Current (selected) entry, -1 when none.
  int Current() const { return current_; }
  void Select(int index);

  void Acknowledge();     ///< double click / Ctrl+Q on the current entry
  void AcknowledgeAll();  ///< Ctrl+A
  /// "Copy Message": ID, tab, Event of the current entry; empty when nothing is selected.
  std::string CopyMessageText() const;
  /// Sorts ascending by column 0 "ID", 1 "Event" or 2 "Time", ignoring letter case;
  /// the column stays the key for later sorts (`SortAgain`).
  void SortByColumn(int column);
  void SortAgain();
  int SortColumn() const { return sortColumn_; }

  // Window state a view mirrors.
  bool WindowOpen() const { return windowOpen_; }
  void WindowActivated();  ///< the view became active; places it at (1, 1) after a close
  void WindowClosed();     ///< Esc or "Close"
  /// Window position the view applies; (1, 1) after each reopening.
  int WindowLeft() const { return windowLeft_; }
  int WindowTop() const { return windowTop_; }
  void SetWindowPos(int left, int top) {
    windowLeft_ = left;
    windowTop_ = top;
  }
  bool OnTop() const { return onTop_; }
  void SetOnTop(bool on) { onTop_ = on; }
  std::function<void()> onOpen;          ///< called when a post opens the window
  std::function<void()> onBringToFront;  ///< called when a post raises the window
  std::function<void()> onChanged;       ///< called after the entry list changed

  /// In a run without a window, posts may be mirrored to standard error, one line each.
  void SetMirrorToStderr(bool on) { mirror_ = on; }
  bool MirrorToStderr() const { return mirror_; }
  /// Replaces the clock (tests use a fixed time).
  void SetClock(Clock clock) { clock_ = std::move(clock); }

  /// "E:" + number for levels up to 3, "I:" + number above.
  static std::string IdText(int level, int number);
  /// "YYYY.MM.DD  hh:mm:ss" of a local time.
  static std::string TimeColumnText(std::chrono::system_clock::time_point t);

 private:
  void Insert(LogEntry entry, bool atEnd);
  void Mirror(const LogEntry& entry) const;
  void Open();

  std::vector<LogEntry> entries_;
  int filter_ = kMsgImportant;
  bool newestLast_ = false;
  bool windowOpen_ = false;
  bool onTop_ = false;
  bool mirror_ = false;
  bool everClosed_ = true;  // the first activation places the window too
  int windowLeft_ = 1;
  int windowTop_ = 1;
  int current_ = -1;
  int sortColumn_ = -1;
  long nextSerial_ = 0;
  Clock clock_;
};

}  // namespace ploxen

// Message log model: filtered and unfiltered posts, acknowledgement, sorting and the window state.
#include "support/AplMsg.h"

#include "support/TextCodec.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

namespace ploxen {
namespace {

/// Two decimal digits with a leading "0" below 10.
void AppendTwoDigits(std::string& out, int value) {
  out += static_cast<char>('0' + (value / 10) % 10);
  out += static_cast<char>('0' + value % 10);
}

}  // namespace

TAplMsgWnd::TAplMsgWnd() : clock_([] { return std::chrono::system_clock::now(); }) {}

std::string TAplMsgWnd::IdText(int level, int number) {
  return (level <= 3 ? "E:" : "I:") + std::to_string(number);
}

std::string TAplMsgWnd::TimeColumnText(std::chrono::system_clock::time_point t) {
  std::time_t seconds = std::chrono::system_clock::to_time_t(t);
  std::tm local{};
  localtime_r(&seconds, &local);
  std::string out = std::to_string(local.tm_year + 1900);
  out += '.';
  AppendTwoDigits(out, local.tm_mon + 1);
  out += '.';
  AppendTwoDigits(out, local.tm_mday);
  out += "  ";
  AppendTwoDigits(out, local.tm_hour);
  out += ':';
  AppendTwoDigits(out, local.tm_min);
  out += ':';
  AppendTwoDigits(out, local.tm_sec);
  return out;
}

void TAplMsgWnd::Post(int level, int number, const std::string& text) {
  if (filter_ < level) return;
  LogEntry entry;
  entry.level = level;
  entry.number = number;
  entry.id = IdText(level, number);
  entry.text = text;
  entry.time = TimeColumnText(clock_());
  Insert(std::move(entry), newestLast_ || entries_.empty());
  if (level < 3) {
    if (!windowOpen_) Open();
    if (onBringToFront) onBringToFront();
  }
}

void TAplMsgWnd::PostAlways(int level, int number, const std::string& text) {
  LogEntry entry;
  entry.level = level;
  entry.number = number;
  entry.id = "I:" + std::to_string(number);
  entry.text = text;
  entry.time = TimeColumnText(clock_());
  Insert(std::move(entry), true);
  if (level < 6) {
    if (!windowOpen_) Open();
    if (onBringToFront) onBringToFront();
  }
}

void TAplMsgWnd::Insert(LogEntry entry, bool atEnd) {
  entry.serial = nextSerial_++;
  if (mirror_) Mirror(entry);
  if (atEnd) {
    entries_.push_back(std::move(entry));
  } else {
    entries_.insert(entries_.begin(), std::move(entry));
    if (current_ >= 0) ++current_;  // the selected entry moved down by one
  }
  if (onChanged) onChanged();
}

void TAplMsgWnd::Mirror(const LogEntry& entry) const {
  std::string line = entry.id + " " + entry.text + "\n";
  std::fwrite(line.data(), 1, line.size(), stderr);
  std::fflush(stderr);
}

void TAplMsgWnd::Open() {
  windowOpen_ = true;
  if (onOpen) onOpen();
}

void TAplMsgWnd::SetFilter(int value) {
  if (value == 0 || value == 2 || value == 4 || value == 6) filter_ = value;
}

void TAplMsgWnd::Clear() {
  entries_.clear();
  current_ = -1;
  if (onChanged) onChanged();
}

void TAplMsgWnd::Select(int index) {
  current_ = (index >= 0 && index < Count()) ? index : -1;
}

void TAplMsgWnd::Acknowledge() {
  if (current_ < 0 || current_ >= Count()) return;
  int& level = entries_[current_].level;
  if (level == 0 || level == 2 || level == 4) ++level;
  if (onChanged) onChanged();
}

void TAplMsgWnd::AcknowledgeAll() {
  for (auto& entry : entries_) {
    if (entry.level == 0 || entry.level == 2 || entry.level == 4) ++entry.level;
  }
  if (onChanged) onChanged();
}

std::string TAplMsgWnd::CopyMessageText() const {
  if (current_ < 0 || current_ >= Count()) return {};
  const LogEntry& entry = entries_[current_];
  return entry.id + "\t" + entry.text;
}

void TAplMsgWnd::SortByColumn(int column) {
  if (column < 0 || column > 2) return;
  sortColumn_ = column;
  SortAgain();
}

void TAplMsgWnd::SortAgain() {
  if (sortColumn_ < 0) return;
  long selected = (current_ >= 0) ? entries_[current_].serial : -1;
  auto key = [this](const LogEntry& e) -> const std::string& {
    return sortColumn_ == 0 ? e.id : (sortColumn_ == 1 ? e.text : e.time);
  };
  std::stable_sort(entries_.begin(), entries_.end(), [&](const LogEntry& a, const LogEntry& b) {
    return LessNoCase(key(a), key(b));
  });
  if (selected >= 0) {
    auto it = std::find_if(entries_.begin(), entries_.end(),
                           [selected](const LogEntry& e) { return e.serial == selected; });
    current_ = static_cast<int>(it - entries_.begin());
  }
  if (onChanged) onChanged();
}

void TAplMsgWnd::WindowActivated() {
  if (everClosed_) {
    windowLeft_ = 1;
    windowTop_ = 1;
  }
  everClosed_ = false;
  windowOpen_ = true;
}

void TAplMsgWnd::WindowClosed() {
  windowOpen_ = false;
  everClosed_ = true;
}

}  // namespace ploxen

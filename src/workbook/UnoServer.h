// LibreOffice Calc as a SpreadsheetServer, driven over UNO through a local pipe.
#pragma once

#include <memory>
#include <string>

#include "workbook/SpreadsheetServer.h"

namespace ploxen {

class OfficeProcess;

/// Longest wait for one answer of the office [ms]; then the connection is closed, the call
/// fails and the next call connects again.
inline constexpr int kUnoCallTimeoutMs = 10'000;
/// The same for opening and saving a workbook [ms].
inline constexpr int kUnoFileTimeoutMs = 120'000;
/// Longest wait for a started office to open its pipe [ms].
inline constexpr int kOfficeStartTimeoutMs = 60'000;

/// Messages of the connection to LibreOffice.
inline constexpr int kMsgUnoNoAnswer = 2101;     ///< the office did not answer in time
inline constexpr int kMsgUnoLost = 2102;         ///< the connection broke (office ended)
inline constexpr int kMsgUnoReconnected = 2103;  ///< a later call connected again
inline constexpr int kMsgUnoNotStarted = 2104;   ///< no office could be started or reached

/// LibreOffice Calc reached through the UNO pipe `pipe`. Book and sheet handles map to the
/// office's documents and sheets; they survive renames in the office and are refused once the
/// user closes the document. Cells are read and written a block per call where the interface
/// allows it; numbers and formulas cross independently of the office's locale (formulas in
/// the A1 grammar with "," separators), and texts are stored as texts, never re-read as dates
/// or numbers. Every remote call runs under a watchdog (kUnoCallTimeoutMs).
class UnoServer : public SpreadsheetServer {
 public:
  /// Connects to an office listening on `pipe`; null with `error` when none answers. The
  /// office counts as headless when the installed one cannot draw windows.
  static std::shared_ptr<UnoServer> Connect(TAplMsgWnd& log, const std::string& pipe,
                                            std::string& error);
  ~UnoServer() override;
  UnoServer(const UnoServer&) = delete;
  UnoServer& operator=(const UnoServer&) = delete;

  /// Hands over the office process this program started: Quit then ends the office. Without
  /// one the office belongs to the user, and Quit only lets go of it.
  void AdoptProcess(std::unique_ptr<OfficeProcess> process);
  bool StartedHere() const;
  /// A headless office shows no window: SetVisible does nothing there.
  void SetHeadless(bool headless);
  /// Sets the watchdog's bound for ordinary calls [ms] (tests use short ones).
  void SetCallTimeout(int ms);
  /// True while the connection is up.
  bool Connected() const;

  bool Version(std::string& version) override;
  bool SetVisible(bool visible) override;
  bool Quit() override;

  bool BookCount(int& count) override;
  bool BookItem(int index, BookHandle& book) override;
  bool OpenBook(const std::string& path, bool updateLinks, BookHandle& book) override;
  bool AddBook(const std::string& name, BookHandle& book) override;
  bool CloseBook(BookHandle book) override;

  bool BookName(BookHandle book, std::string& name) override;
  bool BookFullName(BookHandle book, std::string& fullName) override;
  bool SaveBook(BookHandle book) override;
  bool SaveBookAs(BookHandle book, const std::string& path) override;
  bool SheetCount(BookHandle book, int& count) override;
  bool SheetItem(BookHandle book, int index, SheetHandle& sheet) override;
  bool AddSheet(BookHandle book, const std::string& name, int position,
                SheetHandle& sheet) override;
  bool DeleteSheet(SheetHandle sheet) override;

  bool SheetName(SheetHandle sheet, std::string& name) override;
  bool RenameSheet(SheetHandle sheet, const std::string& name) override;
  bool ActivateSheet(SheetHandle sheet) override;
  bool CellValue(SheetHandle sheet, int row, int column, std::string& text) override;
  bool CellText(SheetHandle sheet, int row, int column, std::string& text) override;
  bool SetCellValue(SheetHandle sheet, int row, int column, const std::string& text) override;
  bool LastCell(SheetHandle sheet, int& row, int& column) override;
  bool InsertRow(SheetHandle sheet, int row) override;
  bool RangeValues(SheetHandle sheet, const CellBlock& block,
                   std::vector<std::string>& texts) override;
  bool RangeTexts(SheetHandle sheet, const CellBlock& block,
                  std::vector<std::string>& texts) override;
  bool SetRangeValues(SheetHandle sheet, const CellBlock& block,
                      const std::vector<std::string>& texts, bool skipEmpty) override;

  ServerError LastError() const override;
  std::string LastErrorText() const override;

  struct Impl;

 private:
  explicit UnoServer(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

/// Finds or starts LibreOffice. `Attach` never starts an office: it finds one the user runs
/// and asks it to listen on the user's pipe. `Start` launches a visible office on the user's
/// profile when there is a display, else a headless one on a private profile.
class UnoServerFactory : public SpreadsheetServerFactory {
 public:
  explicit UnoServerFactory(TAplMsgWnd& log) : log_(log) {}
  std::shared_ptr<SpreadsheetServer> Attach(const std::string& progId) override;
  std::shared_ptr<SpreadsheetServer> Start(const std::string& progId) override;
  /// Forces headless starts on the private profile even with a display (batch runs, tests).
  bool forceHeadless = false;
  /// The pipe `Attach` uses (default: one per user).
  std::string attachPipe;

 private:
  TAplMsgWnd& log_;
  std::weak_ptr<UnoServer> started_;
  std::weak_ptr<UnoServer> attached_;
};

}  // namespace ploxen

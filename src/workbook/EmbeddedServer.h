// The embedded spreadsheet engine as a SpreadsheetServer: an in-process application that
// opens, recalculates and saves .xlsx and .ods workbooks.
#pragma once

#include <memory>
#include <string>

#include "workbook/EngineModel.h"
#include "workbook/SpreadsheetServer.h"

namespace ploxen {

class TAplMsgWnd;

/// Version text the embedded engine reports.
inline constexpr const char* kEmbeddedVersion = "16.0";

/// The in-process spreadsheet application. Book handles are the engine's BookId, sheet
/// handles its SheetId. After `Quit` every call is refused.
class EmbeddedServer : public SpreadsheetServer {
 public:
  explicit EmbeddedServer(TAplMsgWnd& log);
  ~EmbeddedServer() override;

  WorkbookEngine& Engine() { return engine_; }
  bool IsRunning() const { return running_; }
  bool IsVisible() const { return visible_; }

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
  bool SetRangeValues(SheetHandle sheet, const CellBlock& block,
                      const std::vector<std::string>& texts, bool skipEmpty) override;

  ServerError LastError() const override { return error_; }
  std::string LastErrorText() const override { return errorText_; }

 private:
  bool Fail(ServerError error, std::string text);
  /// Runs `call`, turning an exception (out of memory, a library failure) into kRefused.
  template <class F>
  bool Guarded(F&& call);
  bool SetCellValueUnguarded(SheetHandle sheet, int row, int column, const std::string& text);
  bool Ok();
  Book* BookOf(BookHandle book);
  Sheet* SheetOf(SheetHandle sheet);
  bool CheckAddress(int row, int column);
  bool CheckBlock(const CellBlock& block);
  bool SaveTo(Book& book, const std::string& path, BookFormat format);
  /// Refuses (false, with the reason) a save over a book that another program holds open;
  /// an old lock that no running program holds is ignored with an information message.
  bool CheckNotOpenElsewhere(const std::string& path);
  void RefreshLinks(ImportedBook& imported, const std::string& folder);
  /// Why a row cannot be inserted above 0-based `row` of `sheet` without misplacing parts of
  /// the book's file; empty when it can.
  std::string InsertProblem(const Book& book, const Sheet& sheet, int row) const;

  TAplMsgWnd& log_;
  WorkbookEngine engine_;
  bool running_ = true;
  bool visible_ = false;
  ServerError error_ = ServerError::kNone;
  std::string errorText_;
};

/// Finds or starts the embedded engine. One engine runs at a time: `Attach` gives the one
/// this factory started until it quits, so a second `OpenBook` reaches the books of the first.
class EmbeddedServerFactory : public SpreadsheetServerFactory {
 public:
  explicit EmbeddedServerFactory(TAplMsgWnd& log) : log_(log) {}
  std::shared_ptr<SpreadsheetServer> Attach(const std::string& progId) override;
  std::shared_ptr<SpreadsheetServer> Start(const std::string& progId) override;

 private:
  TAplMsgWnd& log_;
  std::shared_ptr<EmbeddedServer> running_;
};

}  // namespace ploxen

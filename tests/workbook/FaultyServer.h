// Test doubles: a spreadsheet server that refuses chosen calls, and a factory for it.
#pragma once

#include <memory>
#include <set>
#include <utility>

#include "workbook/EmbeddedServer.h"

namespace ploxen::test {

/// Forwards to an embedded engine, refusing the calls and cells a test picks.
class FaultyServer : public SpreadsheetServer {
 public:
  explicit FaultyServer(std::shared_ptr<EmbeddedServer> inner) : inner_(std::move(inner)) {}
  EmbeddedServer& Inner() { return *inner_; }

  std::set<std::pair<int, int>> refuseValue;  ///< (row, column) whose Value is refused
  std::set<std::pair<int, int>> refuseText;   ///< (row, column) whose Text is refused
  std::set<std::pair<int, int>> refuseWrite;  ///< (row, column) that cannot be written
  bool refuseBookCount = false;
  bool refuseVersion = false;
  bool refuseLastCell = false;
  bool refuseSheetCount = false;
  bool refuseSheetItem = false;
  bool refuseSave = false;
  bool refuseQuit = false;

  bool Version(std::string& v) override { return !refuseVersion && inner_->Version(v); }
  bool SetVisible(bool v) override { return inner_->SetVisible(v); }
  bool Quit() override { return !refuseQuit && inner_->Quit(); }
  bool BookCount(int& c) override { return !refuseBookCount && inner_->BookCount(c); }
  bool BookItem(int i, BookHandle& b) override { return inner_->BookItem(i, b); }
  bool OpenBook(const std::string& p, bool u, BookHandle& b) override {
    return inner_->OpenBook(p, u, b);
  }
  bool AddBook(const std::string& n, BookHandle& b) override { return inner_->AddBook(n, b); }
  bool CloseBook(BookHandle b) override { return inner_->CloseBook(b); }
  bool BookName(BookHandle b, std::string& n) override { return inner_->BookName(b, n); }
  bool BookFullName(BookHandle b, std::string& n) override { return inner_->BookFullName(b, n); }
  bool SaveBook(BookHandle b) override { return !refuseSave && inner_->SaveBook(b); }
  bool SaveBookAs(BookHandle b, const std::string& p) override { return inner_->SaveBookAs(b, p); }
  bool SheetCount(BookHandle b, int& c) override {
    return !refuseSheetCount && inner_->SheetCount(b, c);
  }
  bool SheetItem(BookHandle b, int i, SheetHandle& s) override {
    return !refuseSheetItem && inner_->SheetItem(b, i, s);
  }
  bool AddSheet(BookHandle b, const std::string& n, int p, SheetHandle& s) override {
    return inner_->AddSheet(b, n, p, s);
  }
  bool DeleteSheet(SheetHandle s) override { return inner_->DeleteSheet(s); }
  bool SheetName(SheetHandle s, std::string& n) override { return inner_->SheetName(s, n); }
  bool RenameSheet(SheetHandle s, const std::string& n) override {
    return inner_->RenameSheet(s, n);
  }
  bool ActivateSheet(SheetHandle s) override { return inner_->ActivateSheet(s); }
  bool CellValue(SheetHandle s, int r, int c, std::string& t) override {
    return !refuseValue.count({r, c}) && inner_->CellValue(s, r, c, t);
  }
  bool CellText(SheetHandle s, int r, int c, std::string& t) override {
    return !refuseText.count({r, c}) && inner_->CellText(s, r, c, t);
  }
  bool SetCellValue(SheetHandle s, int r, int c, const std::string& t) override {
    return !refuseWrite.count({r, c}) && inner_->SetCellValue(s, r, c, t);
  }
  bool LastCell(SheetHandle s, int& r, int& c) override {
    return !refuseLastCell && inner_->LastCell(s, r, c);
  }
  bool InsertRow(SheetHandle s, int r) override { return inner_->InsertRow(s, r); }
  ServerError LastError() const override { return inner_->LastError(); }
  std::string LastErrorText() const override { return inner_->LastErrorText(); }

 private:
  std::shared_ptr<EmbeddedServer> inner_;
};

/// Hands out one FaultyServer over an embedded engine; `running` says whether Attach finds it.
class FaultyFactory : public SpreadsheetServerFactory {
 public:
  explicit FaultyFactory(TAplMsgWnd& log)
      : server(std::make_shared<FaultyServer>(std::make_shared<EmbeddedServer>(log))) {}
  std::shared_ptr<FaultyServer> server;
  bool running = false;
  bool canStart = true;

  std::shared_ptr<SpreadsheetServer> Attach(const std::string&) override {
    return running ? server : nullptr;
  }
  std::shared_ptr<SpreadsheetServer> Start(const std::string&) override {
    if (!canStart) return nullptr;
    running = true;
    return server;
  }
};

}  // namespace ploxen::test

// Fixture of the GUI tests: a scratch folder with example copies and a desktop session whose
// questions are answered from a script.
#pragma once

#include <gtest/gtest.h>
#include <unistd.h>
#include <QApplication>
#include <QTest>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>

#include "gui/DesktopSession.h"
#include "support/ScriptedDialogs.h"
#include "workbook/EmbeddedServer.h"

namespace ploxen::test {

namespace fs = std::filesystem;

class GuiFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fs::temp_directory_path() /
          ("ploxen_gui_" + std::to_string(::getpid()) + "_" + info->name());
    fs::remove_all(dir);
    fs::create_directories(dir / "docs");
  }
  void TearDown() override {
    session.reset();
    fs::remove_all(dir);
  }

  std::string Example(const std::string& name) {
    const fs::path target = dir / (name + ".xlsx");
    fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "examples" / (name + ".xlsx"), target,
                  fs::copy_options::overwrite_existing);
    return target.string();
  }

  /// The bytes of a file: a save is seen in them, whatever the cells held before.
  static std::string FileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }

  /// A session started with `args`, its windows hidden unless `show`.
  DesktopSession& Start(const std::vector<std::string>& args = {}, bool show = false) {
    session = std::make_unique<DesktopSession>(static_cast<int>(args.size()), &dialogs);
    session->p->settings.SetDocumentsFolder((dir / "docs").string());
    session->pump.SetInterval(std::chrono::milliseconds(0));
    session->Start(args, show);
    return *session;
  }

  /// Cell text of a saved workbook, read with an engine of its own.
  static std::string SavedCell(const std::string& path, int sheetIndex, int row, int column) {
    TAplMsgWnd log;
    EmbeddedServer server(log);
    BookHandle book = 0;
    SheetHandle sheet = 0;
    std::string text;
    if (server.OpenBook(path, false, book) && server.SheetItem(book, sheetIndex, sheet)) {
      server.CellValue(sheet, row, column, text);
    }
    return text;
  }

  bool Logged(const std::string& part) const {
    for (const LogEntry& e : session->p->log.Entries()) {
      if (e.text.find(part) != std::string::npos) return true;
    }
    return false;
  }
  bool Posted(int number) const {
    for (const LogEntry& e : session->p->log.Entries()) {
      if (e.number == number) return true;
    }
    return false;
  }

  fs::path dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<DesktopSession> session;
};

}  // namespace ploxen::test

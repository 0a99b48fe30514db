// The new-process template and the command that creates it.
#include "app/NewProcess.h"

#include <filesystem>
#include <vector>

#include "app/CalcStart.h"
#include "process/EqlCalcX.h"
#include "process/ExportBook.h"
#include "support/AplMsg.h"
#include "support/Platform.h"
#include "support/UserDialogs.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

using Rows = std::vector<std::vector<std::string>>;

StringGrid GridOf(int columns, int rows, const Rows& cells) {
  StringGrid g(columns, rows);
  for (size_t r = 0; r < cells.size(); ++r) {
    for (size_t c = 0; c < cells[r].size(); ++c) {
      g.SetCell(static_cast<int>(c), static_cast<int>(r), cells[r][c]);
    }
  }
  return g;
}

}  // namespace

StringGrid TemplateConditionGrid(const std::string& precision, const std::string& limit) {
  return GridOf(9, 15,
                {{"eql"},
                 {"T [C]", "300"},
                 {"P [bar]", "1"},
                 {"Phases", "gas.1", "liq.1", "sol.1"},
                 {"Calculation Conditions"},
                 {"Count"},
                 {"Precision", precision},
                 {"Iterations Steps", limit},
                 {"Visualisation", "Visual"},
                 {"Following Calculation"},
                 {"Recorder", "rec"},
                 {"T [C]", "=B2"},
                 {"EOT"}});
}

StringGrid TemplatePhaseGrid(char phase) {
  const bool gas = phase == 'g';
  const std::string state = std::string("(") + phase + ")";
  Rows rows = {
      {state, "in [kg]", "out [kg]", "x", gas ? "f" : "a", gas ? "f.c." : "a.c.", "Rel.", "Inf."}};
  std::vector<std::string> names;
  if (phase == 'g') names = {"CH4", "CO", "CO2", "CS2", "H2", "H2O", "N2", "NO", "O2", "SO2"};
  if (phase == 'l') names = {"H2O (l)"};
  if (phase == 's') names = {"C", "S"};
  for (const std::string& n : names) rows.push_back({n});
  rows.push_back({"EOT"});
  return GridOf(10, static_cast<int>(rows.size()), rows);
}

StringGrid TemplateVisualGrid() {
  return GridOf(8, 8,
                {{"visual", "F1", "F2", "F3", "Left", "Top", "Width", "Height"},
                 {"W", "", "", "", "10", "10", "600", "400"},
                 {"I", "visual.jpg"},
                 {"F", "Arial", "8"},
                 {"1", "T [C]:", "='System'!B2", "Temperature", "10", "10", "100", "18"},
                 {"2", "P [bar]:", "='System'!B3", "Pressure", "10", "30", "100", "18"},
                 {"EOT"}});
}

bool CreateNewProcess(NewProcessContext& x, bool ask) {
  if (x.calc.IsBusy(true)) return false;
  x.log.Clear();
  if (ask && x.dialogs.Question("Create new process in MS Excel ?", "Kestrano",
                                DialogButtons::kYesNo) != kAnswerYes) {
    return false;
  }
  x.log.PostAlways(kMsgCritical, 1056, "Creating New Process Table, please wait");
  if (x.exportBook.OpenExportBook(6) <= 0) return false;
  bool ok = x.exportBook.ExportGrid(TemplateConditionGrid(x.precision, x.iterationLimit), 1,
                                    "System") > 0;
  const char phases[] = {'g', 'l', 's'};
  const char* names[] = {"gas.1", "liq.1", "sol.1"};
  for (int i = 0; i < 3 && ok; ++i) {
    ok = x.exportBook.ExportGrid(TemplatePhaseGrid(phases[i]), i + 2, names[i]) > 0;
  }
  if (ok) ok = x.exportBook.ExportGrid(StringGrid(1, 1), 5, "rec") > 0;
  if (ok) ok = x.exportBook.ExportGrid(TemplateVisualGrid(), 6, "Visual") > 0;
  if (!ok) {
    x.log.PostAlways(kMsgImportant, 1144, "Process Table end");
    return false;
  }
  const int books = x.xls.ListBooks(1);
  if (books > 0) x.xls.ListSheets(books);
  if (x.mainWindow) {
    x.mainWindow->CbxXls = x.xls.CbxBook.items;
    x.mainWindow->CbxXlsIndex = static_cast<int>(x.mainWindow->CbxXls.size()) - 1;
    x.mainWindow->CbxCond = x.xls.CbxSheet.items;
    x.mainWindow->CbxCondIndex = x.mainWindow->CbxCond.empty() ? -1 : 0;
  }
  x.log.PostAlways(kMsgImportant, 1143, "New Process Table is created");
  return true;
}

int WriteNewProcessFile(NewProcessContext& x, const std::string& path) {
  if (!CreateNewProcess(x, false)) return 1;
  SpreadsheetServer* server = x.exportBook.Server();
  if (!server || !server->SaveBookAs(x.exportBook.Book(), path)) {
    x.log.Post(kMsgError, 343, path + " can not be saved ");
    return 1;
  }
  CopyTemplatePicture(path);
  return 0;
}

bool CopyTemplatePicture(const std::string& bookPath) {
  namespace fs = std::filesystem;
  const fs::path source = fs::path(ProgramFolder()) / kTemplatePicture;
  const fs::path target = fs::path(bookPath).parent_path() / kTemplatePicture;
  std::error_code ec;
  if (fs::exists(target, ec)) return true;  // the user's own picture stays
  return fs::copy_file(source, target, ec);
}

}  // namespace ploxen

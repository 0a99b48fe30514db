// The equilibrium file: the current system as a sectioned text file for the companion
// equilibrium program, and the "Save as Equilibrium File" command that writes and offers it.
#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "chem/Periodica.h"
#include "kernel/EqKernel.h"
#include "process/ConditionLayout.h"
#include "process/EqlCalcX.h"
#include "process/ProcessWorkbook.h"
#include "support/AplMsg.h"
#include "support/Info.h"
#include "support/Platform.h"
#include "support/SectionStore.h"
#include "support/TextCodec.h"
#include "support/UserDialogs.h"
#include "thermo/TDynOprt.h"

namespace ploxen {
namespace {

namespace fs = std::filesystem;

constexpr const char* kSaveTitle = "Save Equilibrium File as";
constexpr const char* kFilter = "Equilibrium Files (*.eql)|*.eql|  All Files (*)|*.*";

/// Name of a slot's block in the file: "Gas1" .. "Solid3" for slots 1..8.
const char* GridName(int slot) {
  static const char* const kNames[] = {"",        "Gas1",   "Gas2",   "Liquid1", "Liquid2",
                                       "Liquid3", "Solid1", "Solid2", "Solid3"};
  return kNames[slot];
}

/// `path` relative to `folder` when both lie on one tree, else `path` itself.
std::string RelativePath(const std::string& path, const std::string& folder) {
  if (path.empty()) return path;
  std::error_code ec;
  const fs::path target = fs::absolute(NormaliseSeparators(path), ec).lexically_normal();
  const fs::path base = fs::absolute(folder.empty() ? "." : folder, ec).lexically_normal();
  const fs::path relative = target.lexically_relative(base);
  return relative.empty() ? target.generic_string() : relative.generic_string();
}

/// One grid row as a file line: the cells joined by tabs, line breaks and tabs inside a cell
/// turned into blanks so that the row stays one line of the same width.
std::string GridLine(const StringGrid& grid, int row) {
  std::string line;
  for (int c = 0; c < grid.ColCount(); ++c) {
    if (c > 0) line += '\t';
    for (char ch : grid.Cell(c, row)) line += (ch == '\r' || ch == '\n' || ch == '\t') ? ' ' : ch;
  }
  return line;
}

}  // namespace

// "[System]" lines: database, elements, conditions, kernel criteria and the slot units.
std::vector<std::string> TEqlCalcWnd::SystemLines(const std::string& folder) const {
  std::vector<std::string> lines = {"[System]",
                                    "  Database=" + RelativePath(thermo_.DatabasePath(), folder)};
  std::string ne, symbols;
  const int last =
      std::min(elements_.LastElementIndex(), static_cast<int>(elementFlags.size()) - 1);
  for (int i = 0; i <= last; ++i) {
    if (elementFlags[i] == 0) continue;
    ne += std::to_string(i) + ",";
    symbols += elements_.ElementSymbol(i) + ",";
  }
  if (ne.empty()) {
    ne = ".";
  } else {
    ne.back() = '.';
    symbols.back() = ' ';
  }
  lines.push_back("  ne=" + ne);
  lines.push_back("  Elements=" + symbols);
  lines.push_back("  T=" + EditTsys +
                  (MnuTempC ? " ;\xC2\xB0"
                              "C"
                            : " ;K "));
  lines.push_back("  PVCont=" + std::to_string(CbxPV));
  lines.push_back((kernel_.Mode() > 0 ? "V=" : "P=") + EditPVsys);
  lines.push_back("  CalcEnv=0");
  lines.push_back("  IterStep=" + kernel_.EditILimit);
  lines.push_back("  Precision=" + kernel_.EditPrec);
  lines.push_back("  IFa=" + kernel_.EditApprFactor);
  lines.push_back(std::string("  Extrapolation=") + (thermo_.CBExtrapolation() ? "1" : "0"));
  lines.push_back(std::string("  MaxEntropy=") + (kernel_.CBMaxEntropy ? "1" : "0"));
  lines.push_back(std::string("  AutoCorr=") + (kernel_.CBAutoIfa ? "1" : "0"));
  for (int k = 1; k <= kSlotCount; ++k) {
    const TPhaseSlot& s = slots[k];
    if (!s.occupied) continue;
    const std::string n = std::to_string(k);
    lines.push_back("  DI" + n + "=" + std::to_string(s.inputUnit));
    lines.push_back("  DO" + n + "=" + std::to_string(s.outputUnit));
    lines.push_back("  CC" + n + "=" + std::to_string(static_cast<int>(s.composition)));
  }
  return lines;
}

// The whole file: "[Information]", "[System]" and one block per occupied slot.
std::vector<std::string> TEqlCalcWnd::EquilibriumFileLines(const std::string& folder) const {
  std::vector<std::string> lines = {"[Information]", "  Created by:", "  " + ProgramName(),
                                    "  " + AboutFirstLine()};
  const std::vector<std::string> system = SystemLines(folder);
  lines.insert(lines.end(), system.begin(), system.end());
  for (int k = 1; k <= kSlotCount; ++k) {
    const TPhaseSlot& s = slots[k];
    if (!s.occupied) continue;
    lines.push_back(std::string("[") + GridName(k) + "]");
    lines.push_back("Desc=" + s.tabCaption);
    for (int r = 0; r < s.grid.RowCount(); ++r) lines.push_back(GridLine(s.grid, r));
  }
  return lines;
}

// Written whole through a section store of its own: the old file is kept as backup, the new
// one replaces it only once completely on disk. The companion reads the system's single-byte
// code page, so the text is stored as Windows-1252 ("°" is the one byte 0xB0).
int TEqlCalcWnd::WriteEquilibriumFile(const std::string& path) {
  const std::string target = NormaliseSeparators(path);
  SectionStore store(log_);
  std::error_code ec;
  if (fs::exists(target, ec)) store.Backup(target);
  store.SetNoBackup(true);
  store.Reset();
  store.SetFileName(target);
  const std::string folder = fs::absolute(target, ec).parent_path().string();
  for (const std::string& line : EquilibriumFileLines(folder)) {
    store.Lines().push_back(Utf8ToCp1252(line));
  }
  const int result = store.Save(target);
  store.SetNoBackup(false);
  equilibriumFile = path;
  return result;
}

// The current workbook's path without extension, the condition sheet's name and ".eql";
// "new.eql" in the project folder without a workbook. `folder` receives the dialog's folder.
std::string TEqlCalcWnd::ProposedEquilibriumFile(std::string& folder) const {
  const std::string full = book_ ? NormaliseSeparators(book_->BookPath("*")) : std::string();
  if (full.empty()) {
    folder = projectFolder.empty() ? thermo_.ProjectFolder() : projectFolder;
    return "new.eql";
  }
  const fs::path book(full);
  folder = book.parent_path().string();
  std::string name = (book.parent_path() / book.stem()).string();
  if (conditionSheet > 0) name += "." + book_->SheetName(conditionSheet);
  return name + ".eql";
}

// The companion is offered only when it lies beside the executable and the shell installed a
// way to start it: a "Yes" that could start nothing would leave the user waiting in vain.
void TEqlCalcWnd::SaveAsEquilibriumFile(UserDialogs& dialogs) {
  FileDialogRequest request;
  request.title = kSaveTitle;
  request.filter = kFilter;
  request.fileName = ProposedEquilibriumFile(request.folder);
  std::string path = dialogs.SaveFileName(request);
  if (path.empty()) return;
  if (dialogs.SelectedFilter() == 1 && LowerText(fs::path(path).extension().string()) != ".eql") {
    path += ".eql";
  }
  std::error_code ec;
  if (fs::exists(NormaliseSeparators(path), ec) &&
      dialogs.Question(path + ": file exists, replace ?", kSaveTitle, DialogButtons::kYesNo) !=
          kAnswerYes) {
    return;
  }
  if (WriteEquilibriumFile(path) < 1) {
    Post(kMsgCritical, 1585, path + " can not be saved");
    return;
  }
  const std::string companion = CompanionProgramPath(kCompanionProgram);
  if (companion.empty() || !startProgram) return;
  const fs::path file(NormaliseSeparators(path));
  const std::string question = "Open " + file.filename().string() + "\n using Equilibrium now ?";
  if (dialogs.Question(question, "Exec Equilibrium", DialogButtons::kYesNo) != kAnswerYes) return;
  startProgram(companion, fs::absolute(file, ec).string());
}

}  // namespace ploxen

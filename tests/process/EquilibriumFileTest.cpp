// The equilibrium file: its lines for known systems, backup and failures, and the save dialog
// with the offer of the companion program.
#include <sys/stat.h>
#include <filesystem>

#include <gtest/gtest.h>

#include "../support/TempFolder.h"
#include "ProcessFixture.h"
#include "support/FileIO.h"
#include "support/Platform.h"

namespace ploxen::test {
namespace {

namespace fs = std::filesystem;
using ploxen::testing::ReadBytes;
using ploxen::testing::TempFolder;
using ploxen::testing::WriteBytes;

class EquilibriumFile : public ProcessFixture {
 protected:
  EquilibriumFile() {
    fs::create_directories(temp / "db");
    fs::create_directories(temp / "out");
    fs::copy_file(DefaultDatabase(), temp / "db/Ploxen.tdb");
    thermo.OpenDatabase(temp / "db/Ploxen.tdb");
    log.Clear();
  }
  /// Condition sheet at 25 °C and 2 bar with a gas sheet and a liquid sheet, read into the
  /// slots 1 and 3 as a calculation reads them.
  void GasAndWater() {
    AddConditionSheet({"gas", "water"}, "25", "2");
    AddPhaseSheet("gas", "(g)", {{"N2", "1"}, {"O2", "0.5"}});
    AddPhaseSheet("water", "(l)", {{"H2O", "2"}}, "In [g]", "Out [kg]", "w%");
    ASSERT_TRUE(calc.ReadConditionSheet());
    for (int k : {1, 3}) ASSERT_TRUE(calc.ReadPhaseSheet(calc.slots[k].sheetIndex, k));
  }
  /// The file's lines as bytes, split at line feeds.
  static std::vector<std::string> FileLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text = ReadBytes(path), line;
    for (char c : text) {
      if (c == '\n') {
        lines.push_back(line);
        line.clear();
      } else {
        line += c;
      }
    }
    EXPECT_TRUE(line.empty()) << "last line without terminator";
    return lines;
  }
  static std::string Join(const std::vector<std::string>& cells) {
    std::string line;
    for (size_t i = 0; i < cells.size(); ++i) line += (i ? "\t" : "") + cells[i];
    return line;
  }

  TempFolder temp;
};

TEST_F(EquilibriumFile, KnownSystemLineByLine) {
  GasAndWater();
  for (int e : {8, 1, 7}) calc.elementFlags[e] = 1;  // O, H, N
  kernel.EditILimit = "5000";
  kernel.EditPrec = "0.001";
  kernel.EditApprFactor = "0.9";
  kernel.CBMaxEntropy = false;
  kernel.CBAutoIfa = true;
  thermo.SetCBExtrapolation(false);
  const std::string path = temp / "out/gas.eql";
  ASSERT_EQ(calc.WriteEquilibriumFile(path), 1);
  EXPECT_EQ(calc.equilibriumFile, path);

  const std::vector<std::string> expected = {
      "[Information]",
      "  Created by:",
      "  " + ProgramName(),
      "  Ploxen Mizzolith " PLOXEN_VERSION,
      "[System]",
      "  Database=../db/Ploxen.tdb",
      "  ne=1,7,8.",
      "  Elements=H,N,O ",
      "  T=25 ;\xB0"
      "C",
      "  PVCont=0",
      "P=2",
      "  CalcEnv=0",
      "  IterStep=5000",
      "  Precision=0.001",
      "  IFa=0.9",
      "  Extrapolation=0",
      "  MaxEntropy=0",
      "  AutoCorr=1",
      "  DI1=0",
      "  DO1=0",
      "  CC1=0",
      "  DI3=1",
      "  DO3=2",
      "  CC3=2",
      "[Gas1]",
      "Desc=gas",
      Join({"(g)", "In [mol]", "Out [mol]", "x", "f", "f.c.", "rel.", "", "", "", ""}),
      Join({"N2 (g)", "1", "", "", "", "", "", "", "", "", ""}),
      Join({"O2 (g)", "0.5", "", "", "", "", "", "", "", "", ""}),
      "[Liquid1]",
      "Desc=water",
      Join({"(l)", "In [g]", "Out [kg]", "w%", "f", "f.c.", "rel.", "", "", "", ""}),
      Join({"H2O (l)", "2", "", "", "", "", "", "", "", "", ""}),
  };
  const std::vector<std::string> lines = FileLines(path);
  ASSERT_EQ(lines.size(), expected.size());
  for (size_t i = 0; i < lines.size(); ++i) EXPECT_EQ(lines[i], expected[i]) << "line " << i + 1;
}

TEST_F(EquilibriumFile, KelvinVolumeNoElementsAndLaterSlots) {
  AddConditionSheet({"salt", "melt"});
  AddPhaseSheet("melt", "(l)", {{"H2O", "1"}});
  AddPhaseSheet("salt", "(s)", {{"NaCl", "1"}});
  ASSERT_TRUE(calc.ReadConditionSheet());
  calc.MnuTempC = false;
  calc.EditTsys = "298.15";
  calc.CbxPV = 1;
  calc.EditPVsys = "0.5";
  kernel.BeginRun(1, 298.15L, 1.0L, 0.5L);  // the last calculation ran at constant volume
  const std::string path = temp / "out/v.eql";
  ASSERT_EQ(calc.WriteEquilibriumFile(path), 1);
  const std::vector<std::string> lines = FileLines(path);
  ASSERT_EQ(lines.size(), 32u);
  EXPECT_EQ(lines[6], "  ne=.");
  EXPECT_EQ(lines[7], "  Elements=");
  EXPECT_EQ(lines[8], "  T=298.15 ;K ");
  EXPECT_EQ(lines[9], "  PVCont=1");
  EXPECT_EQ(lines[10], "V=0.5");
  // Slot order, not the order of the sheets in row 4: the liquid (3) before the solid (6).
  EXPECT_EQ(lines[18], "  DI3=0");
  EXPECT_EQ(lines[21], "  DI6=0");
  EXPECT_EQ(lines[24], "[Liquid1]");
  EXPECT_EQ(lines[25], "Desc=melt");
  EXPECT_EQ(lines[28], "[Solid1]");
  EXPECT_EQ(lines[29], "Desc=salt");
}

TEST_F(EquilibriumFile, LineBreaksInsideCellsStayOnTheirRow) {
  GasAndWater();
  calc.slots[1].grid.SetCell(7, 1, "note\r\n[Gas2]\tx");
  ASSERT_EQ(calc.WriteEquilibriumFile(temp / "out/a.eql"), 1);
  const std::vector<std::string> lines = FileLines(temp / "out/a.eql");
  const std::string row = Join({"N2 (g)", "1", "", "", "", "", "", "note  [Gas2] x", "", "", ""});
  EXPECT_NE(std::find(lines.begin(), lines.end(), row), lines.end());
  EXPECT_EQ(std::count(lines.begin(), lines.end(), "[Gas2]"), 0);
}

TEST_F(EquilibriumFile, ExistingFileKeptAsBackup) {
  GasAndWater();
  const std::string path = temp / "out/gas.eql";
  WriteBytes(path, "old system\n");
  ASSERT_EQ(calc.WriteEquilibriumFile(path), 1);
  EXPECT_EQ(ReadBytes(BackupPath(path)), "old system\n");
  EXPECT_EQ(ReadBytes(path).rfind("[Information]\n", 0), 0u);
}

TEST_F(EquilibriumFile, UnwritableTargetFailsAndLeavesNoFile) {
  GasAndWater();
  const std::string path = temp / "out/taken.eql";
  fs::create_directories(path);  // a folder stands where the file should go
  EXPECT_LT(calc.WriteEquilibriumFile(path), 1);
  EXPECT_TRUE(Posted(241));
  EXPECT_TRUE(fs::is_directory(path));
  EXPECT_EQ(std::distance(fs::directory_iterator(temp / "out"), fs::directory_iterator()), 1);

  // Through the save dialog the store's message is followed by 1585.
  log.Clear();
  dialogs.QueueFileName(path);
  dialogs.QueueAnswer(kAnswerYes);  // replace
  calc.SaveAsEquilibriumFile(dialogs);
  ASSERT_EQ(log.Count(), 2);
  EXPECT_EQ(log.Entries()[0].number, 241);
  EXPECT_EQ(log.Entries()[1].number, 1585);
  EXPECT_EQ(log.Entries()[1].level, kMsgCritical);
  EXPECT_EQ(TextOf(1585), path + " can not be saved");
  EXPECT_EQ(std::distance(fs::directory_iterator(temp / "out"), fs::directory_iterator()), 1);
}

class SaveAsEquilibrium : public EquilibriumFile {
 protected:
  SaveAsEquilibrium() {
    calc.startProgram = [this](const std::string& program, const std::string& argument) {
      started.push_back(program + " " + argument);
      return true;
    };
  }
  ~SaveAsEquilibrium() override { SetProgramFolder(programFolder); }
  /// An executable companion "Oskelund" in a program folder of this test.
  void InstallCompanion() {
    fs::create_directories(temp / "bin");
    WriteBytes(temp / "bin/Oskelund", "#!/bin/sh\n");
    ::chmod((temp / "bin/Oskelund").c_str(), 0755);
    SetProgramFolder(temp / "bin");
  }
  const FileDialogRequest& SaveRequest() {
    for (const DialogRequest& r : dialogs.Requests()) {
      if (r.kind == DialogRequest::kSaveFile) return r.file;
    }
    static const FileDialogRequest none;
    ADD_FAILURE() << "no save dialog";
    return none;
  }

  std::string programFolder = ProgramFolder();
  std::vector<std::string> started;
};

TEST_F(SaveAsEquilibrium, CancelWritesNothing) {
  GasAndWater();
  calc.SaveAsEquilibriumFile(dialogs);
  const FileDialogRequest& r = SaveRequest();
  EXPECT_EQ(r.title, "Save Equilibrium File as");
  EXPECT_EQ(r.filter, "Equilibrium Files (*.eql)|*.eql|  All Files (*)|*.*");
  EXPECT_EQ(r.fileName, "/data/Book.System.eql");
  EXPECT_EQ(r.folder, "/data");
  EXPECT_EQ(dialogs.Requests().size(), 1u);
  EXPECT_TRUE(calc.equilibriumFile.empty());
  EXPECT_EQ(log.Count(), 0);
}

TEST_F(SaveAsEquilibrium, WithoutWorkbookNewFileInTheProjectFolder) {
  calc.SetWorkbook(nullptr);
  calc.projectFolder = temp.Path();
  calc.SaveAsEquilibriumFile(dialogs);
  EXPECT_EQ(SaveRequest().fileName, "new.eql");
  EXPECT_EQ(SaveRequest().folder, temp.Path());
}

TEST_F(SaveAsEquilibrium, ExtensionAppendedWithTheFirstFilterOnly) {
  GasAndWater();
  dialogs.QueueFileName(temp / "out/first", 1);
  dialogs.QueueFileName(temp / "out/second", 2);
  dialogs.QueueFileName(temp / "out/third.EQL", 1);
  for (int i = 0; i < 3; ++i) calc.SaveAsEquilibriumFile(dialogs);
  EXPECT_TRUE(fs::exists(temp / "out/first.eql"));
  EXPECT_TRUE(fs::exists(temp / "out/second"));
  EXPECT_TRUE(fs::exists(temp / "out/third.EQL"));
  EXPECT_FALSE(fs::exists(temp / "out/second.eql"));
  EXPECT_FALSE(fs::exists(temp / "out/third.EQL.eql"));
  EXPECT_EQ(calc.equilibriumFile, temp / "out/third.EQL");
}

TEST_F(SaveAsEquilibrium, ReplaceNoKeepsTheOldFile) {
  GasAndWater();
  const std::string path = temp / "out/gas.eql";
  WriteBytes(path, "old\n");
  dialogs.QueueFileName(path);
  dialogs.QueueAnswer(kAnswerNo);
  calc.SaveAsEquilibriumFile(dialogs);
  EXPECT_EQ(ReadBytes(path), "old\n");
  ASSERT_EQ(dialogs.Requests().size(), 2u);
  EXPECT_EQ(dialogs.Requests()[1].text, path + ": file exists, replace ?");
  EXPECT_EQ(dialogs.Requests()[1].title, "Save Equilibrium File as");
}

TEST_F(SaveAsEquilibrium, CompanionStartedOnlyWhenItExistsAndTheUserAgrees) {
  GasAndWater();
  SetProgramFolder(temp / "out");  // no companion there
  dialogs.QueueFileName(temp / "out/a.eql");
  calc.SaveAsEquilibriumFile(dialogs);
  EXPECT_TRUE(fs::exists(temp / "out/a.eql"));
  EXPECT_EQ(dialogs.Requests().size(), 1u);  // nothing offered
  EXPECT_TRUE(started.empty());

  InstallCompanion();
  dialogs.ClearRequests();
  dialogs.QueueFileName(temp / "out/b.eql");
  dialogs.QueueAnswer(kAnswerNo);
  calc.SaveAsEquilibriumFile(dialogs);
  ASSERT_EQ(dialogs.Requests().size(), 2u);
  EXPECT_EQ(dialogs.Requests()[1].text, "Open b.eql\n using Equilibrium now ?");
  EXPECT_EQ(dialogs.Requests()[1].title, "Exec Equilibrium");
  EXPECT_TRUE(started.empty());

  dialogs.QueueFileName(temp / "out/c.eql");
  dialogs.QueueAnswer(kAnswerYes);
  calc.SaveAsEquilibriumFile(dialogs);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], temp / "bin/Oskelund" + " " + temp / "out/c.eql");
}

}  // namespace
}  // namespace ploxen::test

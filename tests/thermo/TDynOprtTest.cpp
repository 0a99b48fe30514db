// The "Behaviour of System" model: start-up from the application settings, opening and choosing
// databases, the reference file, the behaviour model choice and the normal-volume conversion.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>

#include "chem/Periodica.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "support/Platform.h"
#include "support/ScriptedDialogs.h"
#include "thermo/FluidModels.h"
#include "thermo/TDynOprt.h"

namespace ploxen {
namespace {

namespace fs = std::filesystem;

const char* kHeader = "Nr\tName\tPhase\tTmin\tTmax\tT0\tH0\tS0\ta\tb\tc\td\te\tf\tTc\tPc\tOmega\tMol\tDesc\tRefs\n";
const char* kNitrogen =
    "1\tN2\t(g)\t298.15\t3000\t298.15\t0\t191.6\t29.1\t0\t0\t0\t0\t0\t126.2\t33.98\t0.037\tN2\tnitrogen\t[1][7]\n";
const char* kWater =
    "2\tH2O\t(l)\t273.15\t600\t298.15\t-285830\t69.95\t75.3\t0\t0\t0\t0\t0\t647.1\t220.6\t0.344\tH2O1\twater\t[2]\n";
const char* kReference =
    "[Reference]\n  1: Author One, Journal 1990; remark\n  2: Second source\n"
    "[Elements]\n  # Xy = Name; n: 120\n  Xy = Xylium; n: 120; m: 300.5\n  xY = Bad;\n"
    "[Constants]\n  R=8.3145\n";

class TDynOprt : public ::testing::Test {
 protected:
  void SetUp() override {
    static int counter = 0;
    root_ = fs::temp_directory_path() /
            ("ploxen_tdynoprt_" + std::to_string(getpid()) + "_" + std::to_string(counter++));
    fs::create_directories(root_ / "bin");
    fs::create_directories(root_ / "data");
    oldProgramFolder_ = ProgramFolder();
    SetProgramFolder((root_ / "bin").string());
    settings_.SetProgramFolder((root_ / "bin").string());
    log_.SetFilter(6);
    Write("data/Ploxen.tdb", std::string(kHeader) + kNitrogen + kWater);
    Write("data/Ploxen.ref", kReference);
  }
  void TearDown() override {
    SetProgramFolder(oldProgramFolder_);
    std::error_code ec;
    fs::remove_all(root_, ec);
  }

  std::string Path(const std::string& relative) const { return (root_ / relative).string(); }
  void Write(const std::string& relative, const std::string& text) const {
    std::ofstream(Path(relative), std::ios::binary) << text;
  }
  /// The newest entry with this number; an empty entry when none.
  LogEntry Newest(int number) const {
    LogEntry newest;
    newest.serial = -1;
    for (const LogEntry& e : log_.Entries()) {
      if (e.number == number && e.serial > newest.serial) newest = e;
    }
    return newest;
  }
  std::string Message(int number) const { return Newest(number).text; }

  fs::path root_;
  std::string oldProgramFolder_;
  TAplMsgWnd log_;
  TAplStgsWnd settings_{log_};
  Periodica elements_;
  ScriptedDialogs dialogs_;
  TTDynOprtWnd wnd_{log_, settings_, elements_, dialogs_};
};

TEST_F(TDynOprt, StartUpOpensTheDatabaseBesideTheProgramWithItsReferenceFile) {
  wnd_.StartUp();
  const std::string db = Path("data/Ploxen.tdb");
  EXPECT_TRUE(wnd_.Initialised());
  EXPECT_EQ(wnd_.DatabasePath(), db);
  EXPECT_EQ(wnd_.EditDB(), db);
  EXPECT_EQ(wnd_.Database().RecordCount(), 3);
  EXPECT_EQ(Message(437), "Setting database :" + db);
  EXPECT_EQ(wnd_.ReferencePath(), Path("data/Ploxen.ref"));
  EXPECT_GT(wnd_.DatabaseTime(), 0);
  // deuterium is always there; the user element of the reference file is added
  EXPECT_GE(elements_.FindSymbol("D"), 0);
  EXPECT_GE(elements_.FindSymbol("Xy"), 0);
  EXPECT_EQ(Message(211), "New element Xy: Xylium is given in Ploxen.ref");
  EXPECT_NE(Message(214).find("must begin A .. Z"), std::string::npos);
  // the gas constant of the data side follows the reference file
  EXPECT_DOUBLE_EQ(wnd_.Database().GasConstant(), 8.3145);
  EXPECT_EQ(Message(126), "user defined  R=8.3145");
  ASSERT_EQ(wnd_.ReferenceList().size(), 3u);
  EXPECT_EQ(wnd_.ReferenceList()[0], "[0]: correlation or interpolation or extrapolation");
  EXPECT_EQ(wnd_.ReferenceList()[1], "[1]: Author One, Journal 1990");
  EXPECT_EQ(wnd_.ReferenceList()[2], "[2]:Second source");
}

TEST_F(TDynOprt, ReferencesOfADatasetSkipUnknownKeys) {
  wnd_.StartUp();
  EXPECT_EQ(wnd_.ReferencesOf(1), "[1]: Author One, Journal 1990; ");  // [7] is unknown
  EXPECT_EQ(wnd_.ReferencesOf(2), "[2]:Second source; ");
  EXPECT_EQ(wnd_.ReferencesOf(3), "");
  EXPECT_EQ(wnd_.ReferencesOf(-1), "");
}

TEST_F(TDynOprt, ApplicationSettingsNameTheDatabase) {
  Write("data/other.tdb", std::string(kHeader) + kWater);
  Write("bin/Ploxen.sys", "[General]\n  Database=\n  ActDataBase=../data/other.tdb\n");
  wnd_.StartUp();
  EXPECT_EQ(wnd_.DatabasePath(), Path("data/other.tdb"));
  EXPECT_EQ(wnd_.Database().RecordCount(), 2);
}

TEST_F(TDynOprt, AMissingDatabaseInTheSettingsKeepsTheDefault) {
  Write("bin/Ploxen.sys", "[General]\n  Database=../data/missing.tdb\n  ActDataBase=../data/Ploxen.tdb\n");
  wnd_.StartUp();
  EXPECT_EQ(Message(180), Path("data/missing.tdb") + " :Database does not exists, given in \"Ploxen.sys\"");
  EXPECT_EQ(Newest(180).level, kMsgError);
  EXPECT_EQ(wnd_.DatabasePath(), Path("data/Ploxen.tdb"));
  EXPECT_EQ(wnd_.Database().RecordCount(), 3);
}

TEST_F(TDynOprt, HelpIndexAndProjectFolderComeFromTheSettings) {
  Write("bin/Ploxen.sys", "[General]\n  PrjDir=../projects\n  HelpIndex=HTTP://Example.ORG/Help\n");
  wnd_.StartUp();
  EXPECT_EQ(wnd_.HelpIndex(), "http://example.org/help");
  EXPECT_EQ(wnd_.ProjectFolder(), Path("projects"));

  TAplMsgWnd log;
  TAplStgsWnd settings(log);
  settings.SetProgramFolder(Path("bin"));
  Periodica elements;
  TTDynOprtWnd wnd(log, settings, elements, dialogs_);
  Write("data/Help.html", "<html></html>");
  Write("bin/Ploxen.sys", "[General]\n  HelpIndex=\n  HTHelpIndex=../data/Help.html\n");
  wnd.StartUp();
  EXPECT_EQ(wnd.HelpIndex(), Path("data/Help.html"));  // a file name keeps its case
}

TEST_F(TDynOprt, CubicModelsWarnThatTheyAreForPureSubstances) {
  EXPECT_EQ(wnd_.Model(), 3);
  log_.Post(kMsgInformation, 1, "older entry");
  wnd_.RGgrlClick(5);
  EXPECT_EQ(wnd_.Model(), 5);
  ASSERT_EQ(log_.Count(), 2);  // the log was emptied first
  EXPECT_EQ(Message(267), "The algoritm of [Soave-Redlich-Kwong, Vap. Liq. Eql., 1972] should only "
                          "be used for equilibrium of pure substances");
  EXPECT_EQ(Message(269), "The algoritm of [Generalized Redlich Kwong, 1949] should be used for "
                          "systems with multiple compounds");
  log_.Clear();
  for (int model = 0; model <= 3; ++model) wnd_.RGgrlClick(model);
  EXPECT_EQ(wnd_.Model(), 3);
  EXPECT_EQ(log_.Count(), 0);
  wnd_.RGgrlClick(7);  // no such item
  EXPECT_EQ(wnd_.Model(), 3);
  EXPECT_EQ(TTDynOprtWnd::RGgrlItems().size(), 7u);
}

TEST_F(TDynOprt, AGasConstantOutsideItsBandIsRefused) {
  Write("data/Ploxen.ref", "[Constants]\n  R=8.314\n");
  wnd_.StartUp();
  EXPECT_EQ(Message(128), "R=8.314 my be incorrect");
  EXPECT_DOUBLE_EQ(wnd_.Database().GasConstant(), kGasConstant);
  // the settings window saved a corrected reference file: it is read again
  Write("data/Ploxen.ref", "[Constants]\n  R=8.31451\n");
  wnd_.OnSettingsFileSaved(Path("data/PLOXEN.REF"));
  EXPECT_DOUBLE_EQ(wnd_.Database().GasConstant(), 8.31451);
  EXPECT_EQ(Message(126), "user defined  R=8.31451");
}

TEST_F(TDynOprt, OpeningReportsEmptyAndMissingDatabases) {
  wnd_.StartUp();
  Write("data/header.tdb", kHeader);
  Write("data/empty.tdb", "");
  EXPECT_GT(wnd_.OpenDatabase(Path("data/header.tdb")), 0);
  EXPECT_EQ(Message(240), "Irregular database or no dataset in database " + Path("data/header.tdb"));
  EXPECT_EQ(wnd_.FindDataset("N2", "(g)", 500), -1);
  wnd_.OpenDatabase(Path("data/empty.tdb"));
  EXPECT_EQ(Message(240), "No dataset in database " + Path("data/empty.tdb"));
  const std::string inUse = wnd_.DatabasePath();
  EXPECT_EQ(wnd_.OpenDatabase(Path("data/none.tdb")), 0);
  EXPECT_EQ(Message(437), inUse + " is using as database ");
  EXPECT_EQ(Newest(437).level, kMsgImportant);
  EXPECT_EQ(wnd_.DatabasePath(), inUse);
}

TEST_F(TDynOprt, ChoosingADatabaseThroughTheFileDialog) {
  wnd_.StartUp();
  EXPECT_EQ(wnd_.ChooseDatabase(), 0);  // cancelled
  ASSERT_EQ(dialogs_.Requests().size(), 1u);
  const FileDialogRequest& request = dialogs_.Requests()[0].file;
  EXPECT_EQ(dialogs_.Requests()[0].text, "Open Datasource");
  EXPECT_EQ(request.filter, "Ploxen Database (*.tdb)|*.tdb|All Files(*)|*.*");
  EXPECT_EQ(request.fileName, Path("data/Ploxen.tdb"));
  EXPECT_EQ(request.folder, Path("data"));

  dialogs_.QueueFileName(Path("data/none.tdb"));
  EXPECT_EQ(wnd_.ChooseDatabase(), -1);
  EXPECT_EQ(Message(189), "Open Datasource " + Path("data/none.tdb") + " does not exist");

  Write("data/other.tdb", std::string(kHeader) + kWater);
  Write("data/other.ref", "[Reference]\n  2: Other source\n");
  dialogs_.QueueFileName(Path("data/other.tdb"));
  wnd_.ButtonDBClick();
  EXPECT_EQ(Message(194), "Curent Database: " + Path("data/other.tdb"));
  EXPECT_EQ(wnd_.EditDB(), Path("data/other.tdb"));
  EXPECT_EQ(wnd_.Database().RecordCount(), 2);
  // the references are those of the database in use
  EXPECT_EQ(wnd_.ReferencesOf(1), "[2]:Other source; ");
}

TEST_F(TDynOprt, RefreshReloadsOnlyAChangedFile) {
  wnd_.StartUp();
  const int before = log_.Count();
  wnd_.RefreshDatabase();
  EXPECT_EQ(log_.Count(), before);
  Write("data/Ploxen.tdb", std::string(kHeader) + kNitrogen + kWater + kWater);
  const fs::path file = Path("data/Ploxen.tdb");
  fs::last_write_time(file, fs::last_write_time(file) + std::chrono::seconds(5));
  wnd_.RefreshDatabase();
  EXPECT_EQ(wnd_.Database().RecordCount(), 4);
  EXPECT_EQ(Message(437), "Setting database :" + file.string());
}

TEST_F(TDynOprt, NormalVolumeUsesTheCompressibilityAtNormalConditions) {
  wnd_.StartUp();
  wnd_.RGgrlClick(0);
  const int r = wnd_.FindDataset("N2", "(g)", 273.15);
  ASSERT_EQ(r, 1);
  const double ideal = wnd_.NormalVolumeMoles("22.414 l", r);
  EXPECT_NEAR(ideal, 101325.0 * 0.022414 / (8.3145 * 273.15), 1e-9);
  wnd_.RGgrlClick(3);
  const double real = wnd_.NormalVolumeMoles("22.414 l", r);
  EXPECT_GT(real, ideal);  // nitrogen at 0 °C and 1 atm has z slightly below 1
  EXPECT_LT(real, ideal * 1.002);
  EXPECT_EQ(wnd_.NormalVolumeMoles("much", r), 0.0);
}

TEST_F(TDynOprt, ControlsFollowTheWindowWidth) {
  const TDynOprtLayout layout = TTDynOprtWnd::Layout(400, 75, 30, 8);
  EXPECT_EQ(layout.buttonCloseLeft, 163);
  EXPECT_EQ(layout.editDBWidth, 338);
  EXPECT_EQ(layout.buttonDBLeft, 354);
  EXPECT_TRUE(wnd_.CBExtrapolation());
  wnd_.ToggleCBExtrapolation();
  EXPECT_FALSE(wnd_.CBExtrapolation());
}

}  // namespace
}  // namespace ploxen

namespace ploxen {
namespace {

// The build puts Ploxen.sys beside the programs and the default database in ../data: the
// test program itself starts like the installed program does.
TEST(TDynOprtInstalled, StartsWithTheDefaultDatabaseOfTheBuildTree) {
  const std::string bin = ProgramFolder();
  if (!std::filesystem::exists(bin + "/Ploxen.sys")) GTEST_SKIP() << "no Ploxen.sys beside " << bin;
  TAplMsgWnd log;
  log.SetFilter(6);
  TAplStgsWnd settings(log);
  settings.SetProgramFolder(bin);
  Periodica elements;
  ScriptedDialogs dialogs;
  TTDynOprtWnd wnd(log, settings, elements, dialogs);
  wnd.StartUp();
  EXPECT_EQ(wnd.DatabasePath(), ResolvePath(bin, "../data/Ploxen.tdb"));
  EXPECT_GT(wnd.Database().RecordCount(), 4000);
  for (const LogEntry& e : log.Entries()) EXPECT_GT(e.level, kMsgCritical) << e.text;
  EXPECT_DOUBLE_EQ(wnd.Database().GasConstant(), 8.31451);
  ASSERT_GE(wnd.ReferenceList().size(), 3u);
  const int r = wnd.FindDataset("CO2", "(g)", 1000);
  ASSERT_GT(r, 0);
  const std::string refs = wnd.ReferencesOf(r);
  EXPECT_EQ(refs.rfind("[1]: B. J. McBride", 0), 0u) << refs;
  EXPECT_NE(refs.find("; [2]: critical constants"), std::string::npos) << refs;
}

}  // namespace
}  // namespace ploxen

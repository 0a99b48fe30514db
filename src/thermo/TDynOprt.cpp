// The "Behaviour of System" window: start-up, opening and choosing the database, the model choice.
#include "thermo/TDynOprt.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "chem/Periodica.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "support/FileIO.h"
#include "support/Platform.h"
#include "support/UserDialogs.h"
#include "thermo/FluidModels.h"

namespace ploxen {

namespace {

constexpr double kDeuteriumWeight = 2.01410175;  // g/mol

bool FileExists(const std::string& path) {
  std::error_code ec;
  return !path.empty() && std::filesystem::is_regular_file(path, ec);
}

std::string Lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

bool IsWebAddress(const std::string& text) {
  const std::string lower = Lower(text);
  return lower.rfind("http://", 0) == 0 || lower.rfind("https://", 0) == 0;
}

}  // namespace

TTDynOprtWnd::TTDynOprtWnd(TAplMsgWnd& log, TAplStgsWnd& settings, Periodica& elements,
                           UserDialogs& dialogs)
    : log_(log), settings_(settings), elements_(elements), dialogs_(dialogs), db_(log) {}

std::vector<std::string> TTDynOprtWnd::RGgrlItems() {
  std::vector<std::string> items;
  for (int i = 0; i < kFluidModelCount; ++i) items.push_back(FluidModelText(i));
  return items;
}

std::string TTDynOprtWnd::DefaultDatabasePath() const {
  const std::string beside = ResolvePath("", "../data/Ploxen.tdb");
  if (FileExists(beside)) return beside;
  return ProgramFolder() + "/Ploxen.tdb";
}

void TTDynOprtWnd::StartUp() {
  databasePath_ = DefaultDatabasePath();
  elements_.InitElementTable();
  elements_.DefineElement("D", "Deuterium", 1, "", kDeuteriumWeight);
  if (initialised_) return;
  db_.InitDatabaseStore();
  ReadGeneralSettings();
  OpenDatabase(databasePath_);
  editDB_ = databasePath_;
  initialised_ = true;
}

// A path key of the section `General`, resolved against the program folder; empty when the
// key is missing or empty.
std::string TTDynOprtWnd::SettingPath(const std::string& key) const {
  const std::string value = settings_.GetValue(key);
  return value.empty() ? std::string() : ResolvePath("", value);
}

// `Database` (else `ActDataBase`) replaces the default database when its file exists;
// `PrjDir` and `HelpIndex` (else `HTHelpIndex`) are kept for the shell.
void TTDynOprtWnd::ReadGeneralSettings() {
  if (settings_.Load(settings_.AppSettingsPath()) != 1) return;
  if (settings_.SelectSection("General") < 1) return;
  std::string path = SettingPath("Database");
  if (path.empty()) path = SettingPath("ActDataBase");
  if (FileExists(path)) {
    databasePath_ = path;
  } else if (!path.empty()) {
    log_.Post(kMsgError, 180,
              path + " :Database does not exists, given in \"" + kSettingsFileName + "\"");
  }
  const std::string project = settings_.GetValue("PrjDir");
  if (!project.empty()) projectFolder_ = ResolvePath("", project);
  // A web address is compared and kept in lower case; a file name keeps its case, which
  // matters on a case-sensitive file system.
  const std::string help = settings_.GetValue("HelpIndex");
  if (!help.empty()) {
    if (IsWebAddress(help)) {
      helpIndex_ = Lower(help);
    } else if (const std::string file = ResolvePath("", help); FileExists(file)) {
      helpIndex_ = file;
    }
  } else if (const std::string file = SettingPath("HTHelpIndex"); FileExists(file)) {
    helpIndex_ = file;
  }
}

std::int64_t TTDynOprtWnd::OpenDatabase(const std::string& path) {
  if (!FileExists(path)) {
    log_.Post(kMsgImportant, 437, databasePath_ + " is using as database ");
    return 0;
  }
  log_.Post(kMsgInformation, 437, "Setting database :" + path);
  if (onBusy) onBusy(true);
  const int r = db_.LoadDatabase(path);
  switch (r) {
    case 0: log_.Post(kMsgError, 240, "No dataset in database " + path); break;
    case 1: log_.Post(kMsgError, 240, "Irregular database or no dataset in database " + path); break;
    case -2: log_.Post(kMsgError, 240, "database file can not be open. File Access Error:" + path); break;
    case -1: log_.Post(kMsgError, 240, "database file can not be found :" + path); break;
    default: editDB_ = path; break;
  }
  databasePath_ = path;
  ReadReferenceFile();
  if (onBusy) onBusy(false);
  databaseTime_ = FileStamp(path);
  return databaseTime_;
}

std::int64_t TTDynOprtWnd::ChooseDatabase() {
  FileDialogRequest request;
  request.title = "Open Datasource";
  request.filter = "Ploxen Database (*.tdb)|*.tdb|All Files(*)|*.*";
  request.fileName = databasePath_;
  if (FileExists(databasePath_)) {
    request.folder = std::filesystem::path(databasePath_).parent_path().string();
  }
  request.defaultExt = "tdb";
  const std::string file = dialogs_.OpenFileName(request);
  if (file.empty()) return 0;
  if (!FileExists(file)) {
    log_.Post(kMsgError, 189, "Open Datasource " + file + " does not exist");
    return -1;
  }
  const std::int64_t stamp = OpenDatabase(file);
  log_.Post(kMsgImportant, 194, "Curent Database: " + file);
  return stamp;
}

void TTDynOprtWnd::ButtonDBClick() {
  if (ChooseDatabase() > 0) editDB_ = databasePath_;
}

void TTDynOprtWnd::RefreshDatabase() {
  if (FileStamp(databasePath_) != databaseTime_) OpenDatabase(databasePath_);
}

void TTDynOprtWnd::RGgrlClick(int index) {
  if (index < 0 || index >= kFluidModelCount) return;
  model_ = index;
  if (index <= kGeneralizedRedlichKwong) return;
  log_.Clear();
  log_.PostAlways(kMsgImportant, 267,
                  "The algoritm of [" + FluidModelText(index) + "]" +
                      " should only be used for equilibrium of pure substances");
  log_.PostAlways(kMsgImportant, 269,
                  "The algoritm of [" + FluidModelText(kGeneralizedRedlichKwong) +
                      "] should be used for systems with multiple compounds");
  if (log_.onBringToFront) log_.onBringToFront();
}

TDynOprtLayout TTDynOprtWnd::Layout(int clientWidth, int buttonCloseWidth, int buttonDBWidth,
                                    int editDBLeft) {
  TDynOprtLayout layout;
  layout.buttonCloseLeft = clientWidth / 2 - buttonCloseWidth / 2;
  layout.editDBWidth = clientWidth - buttonDBWidth - 32;
  layout.buttonDBLeft = editDBLeft + layout.editDBWidth + 8;
  return layout;
}

}  // namespace ploxen

// The parameter panel, the tools menu and the help page as a model.
#include "app/ParamPanel.h"

#include <cctype>
#include <filesystem>
#include <system_error>

#include "app/CalcStart.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "support/Platform.h"
#include "support/UserDialogs.h"
#include "workbook/XlsObj.h"

namespace ploxen {
namespace {

constexpr const char* kLinkFilter = "Links (*.desktop)|*.desktop| All files |*.*|";
constexpr const char* kHelpPage = "Kestr/index.html";

bool FolderExists(const std::string& folder) {
  std::error_code ec;
  return !folder.empty() && std::filesystem::is_directory(folder, ec);
}

bool IsWebAddress(const std::string& text) {
  std::string head = text.substr(0, 7);
  for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return head == "http://" || (head == "https:/" && text.size() > 7 && text[7] == '/');
}

}  // namespace

std::string FolderOfPath(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

TParamPanel::TParamPanel(TAplMsgWnd& log, TAplStgsWnd& settings, TXlsWnd& xls,
                         TCalcStartWnd& main)
    : log_(log), settings_(settings), xls_(xls), main_(main) {}

std::string TParamPanel::ProgramPath() const {
  return main_.programPath.empty() ? ProgramFolder() + "/" + ProgramName() : main_.programPath;
}

bool TParamPanel::BtnMakeClick() {
  const std::string book = xls_.BookFullName();
  if (main_.CbxXls.empty() || book.empty()) {
    log_.Post(kMsgError, 712,
              "No any MS Excel files selected, Please select or create a MS Excel file!");
    return false;
  }
  std::string text = ProgramPath() + " -x: " + book;
  if (!main_.CbxCond.empty() && !main_.SelectedSheet().empty()) {
    text += " -c: " + main_.SelectedSheet() + " ";
  }
  if (ChkSw) text += " -s:";
  main_.EditPrm = text;
  return true;
}

const std::string& TParamPanel::CopyText() const { return main_.EditPrm; }

std::string TParamPanel::LinkName() const {
  std::string name = main_.SelectedBook();
  if (name.empty()) name = xls_.BookName();
  name = name.substr(name.find_last_of("/\\") + 1);  // npos + 1 is 0
  const size_t dot = name.find_last_of('.');
  if (dot != std::string::npos && dot > 0) name.resize(dot);
  return "Equilibrium" + name;
}

int TParamPanel::BtnSaveLnkClick(UserDialogs& dialogs) {
  const std::string name = LinkName();
  FileDialogRequest request;
  request.title = "Save Link as ...";
  request.filter = kLinkFilter;
  request.folder = settings_.DesktopFolder();
  request.fileName = name + ".desktop";
  request.defaultExt = "desktop";
  const std::string chosen = dialogs.SaveFileName(request);
  if (chosen.empty()) return 0;
  // The name typed only picks the folder; the launcher keeps the proposed name.
  std::string folder = FolderOfPath(chosen);
  if (folder.empty() && !chosen.empty() && (chosen[0] == '/' || chosen[0] == '\\')) folder = "/";
  const std::string program = ProgramPath();
  const std::string& prm = main_.EditPrm;
  const std::string arguments = prm.size() > program.size() ? prm.substr(program.size()) : "";
  if (folder.empty() ||
      !settings_.CreateShortcut(program, folder, 0, FolderOfPath(program), arguments, name)) {
    log_.Post(kMsgError, kLinkFailed,
              "The link " + name + " can not be written into " + (folder.empty() ? chosen : folder));
    return -1;
  }
  lastLink_ = (folder == "/" ? "" : folder) + "/" + name + ".desktop";
  return 1;
}

std::vector<CompanionItem> TParamPanel::ToolItems() const {
  std::vector<CompanionItem> items;
  for (const CompanionProgram& program : kCompanionPrograms) {
    items.push_back({program.caption, CompanionProgramPath(program.fileName)});
  }
  return items;
}

std::string TParamPanel::ProjectsFolder(const std::string& configuredFolder) const {
  if (FolderExists(main_.projectFolder)) return main_.projectFolder;
  if (FolderExists(configuredFolder)) return configuredFolder;
  return FolderOfPath(ProgramPath());
}

HelpPage TParamPanel::HelpStartPage(const std::string& helpIndex) {
  HelpPage page;
  if (helpIndex.empty()) return page;
  page.web = IsWebAddress(helpIndex);
  size_t slash = helpIndex.find_last_of(page.web ? "/" : "/\\");
  std::string folder = slash == std::string::npos ? "" : helpIndex.substr(0, slash + 1);
  if (page.web && slash < 8) folder = helpIndex + "/";  // a bare host names no page
  page.location = folder + kHelpPage;
  return page;
}

}  // namespace ploxen

// The main window's parameter panel and tools menu as a model: the parameter string of the
// current selection, the launcher that runs it, the companion programs, "Projects" and "Help".
#pragma once

#include <array>
#include <string>
#include <vector>

namespace ploxen {

class TAplMsgWnd;
class TAplStgsWnd;
class TCalcStartWnd;
class TXlsWnd;
class UserDialogs;

/// A companion program of the "Tools" menu, looked for beside the executable.
struct CompanionProgram {
  const char* caption;   ///< menu caption: the subject of the program
  const char* fileName;  ///< file name in the program folder (".exe" may be left off)
};

/// The four companion programs, in menu order.
inline constexpr std::array<CompanionProgram, 4> kCompanionPrograms = {{
    {"Database Editor", "Vimbrass.exe"},
    {"Phase Diagrams", "Quorrath.exe"},
    {"Equilibrium Program", "Oskelund.exe"},
    {"Data Fitting", "Lemvast.exe"},
}};

/// A companion item as the menu shows it.
struct CompanionItem {
  std::string caption;
  std::string path;  ///< full path of the program; empty (item disabled) when it is missing
};

/// What "Help" opens: a local file or a web address.
struct HelpPage {
  std::string location;  ///< file path or address; empty when no help index is configured
  bool web = false;      ///< `location` is an address ("http://" in any letter case)
};

/// Folder part of a path or address, without the trailing separator; empty when it has none.
std::string FolderOfPath(const std::string& path);

/// The parameter panel `PnlParam` with its buttons, and the tools and help commands.
class TParamPanel {
 public:
  static constexpr int kHeightOpen = 250;    ///< window height with the panel [pixels]
  static constexpr int kHeightClosed = 175;  ///< window height without it [pixels]
  static constexpr int kLinkFailed = 951;    ///< message of a link that cannot be written

  TParamPanel(TAplMsgWnd& log, TAplStgsWnd& settings, TXlsWnd& xls, TCalcStartWnd& main);

  bool PnlParam = false;  ///< the panel is open (collapsed at start-up)
  bool ChkSw = true;      ///< "Don't close"

  /// `BtnExpand` (open) and `BtnCollaps` (close).
  void SetExpanded(bool open) { PnlParam = open; }
  bool BtnExpandVisible() const { return !PnlParam; }
  bool BtnCollapsVisible() const { return PnlParam; }
  /// Minimum (and taken) height of the main window [pixels].
  int WindowHeight() const { return PnlParam ? kHeightOpen : kHeightClosed; }

  /// "Make ->": the parameter string of the current book and condition sheet into `EditPrm`;
  /// false after message 712 when no workbook is open (`EditPrm` is kept).
  bool BtnMakeClick();
  /// "Copy": the text that goes to the clipboard.
  const std::string& CopyText() const;
  /// The link name "Save as Link ->" proposes: "Equilibrium" + the book's name without extension.
  std::string LinkName() const;
  /// "Save as Link ->": asks for a place and writes a launcher named `LinkName()` into the
  /// folder chosen. 1 written, 0 cancelled, -1 failed (message 951, nothing written).
  int BtnSaveLnkClick(UserDialogs& dialogs);
  /// Full path of the launcher the last successful "Save as Link ->" wrote.
  const std::string& LastLink() const { return lastLink_; }

  /// The companion items of the "Tools" menu, in order.
  std::vector<CompanionItem> ToolItems() const;
  /// The folder "Projects" opens: the current book's folder, else the configured project
  /// folder, else the program folder (the first that is set and exists).
  std::string ProjectsFolder(const std::string& configuredFolder) const;
  /// The page "Help" opens: the folder of the help index followed by "Kestr/index.html".
  static HelpPage HelpStartPage(const std::string& helpIndex);

 private:
  std::string ProgramPath() const;

  TAplMsgWnd& log_;
  TAplStgsWnd& settings_;
  TXlsWnd& xls_;
  TCalcStartWnd& main_;
  std::string lastLink_;
};

}  // namespace ploxen

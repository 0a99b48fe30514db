// Settings object: the section store shared by every subsystem, the settings file locations,
// the history of recent calculations and desktop launchers.
#pragma once

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "support/AplMsg.h"
#include "support/SectionStore.h"

namespace ploxen {

/// State of the main window's "Calculate again" menu: visible while the history is not empty.
struct RecentMenu {
  static constexpr int kItems = 8;
  bool visible = false;                       ///< the menu itself
  std::array<bool, kItems> itemVisible{};     ///< item k shows history entry k
  std::array<std::string, kItems> caption{};  ///< the entry text of a visible item
};

/// The settings object created at start-up; one instance used by all subsystems.
class TAplStgsWnd {
 public:
  static constexpr int kHistoryWritten = 32;  ///< entries written to the user settings file

  /// Program folder and name start as those of the running executable.
  explicit TAplStgsWnd(TAplMsgWnd& log);

  // The section store.
  SectionStore& Store() { return store_; }
  int Load(const std::string& path) { return store_.Load(path); }
  int SelectSection(const std::string& name) { return store_.SelectSection(name); }
  std::string GetValue(const std::string& key) const { return store_.GetValue(key); }
  void WriteSection(const std::string& name) { store_.WriteSection(name); }
  int Save(const std::string& path) { return store_.Save(path); }
  void Backup(const std::string& path) { store_.Backup(path); }
  void Reset() { store_.Reset(); }

  // Where the files live. Empty overrides mean "ask the environment".
  void SetProgramFolder(const std::string& folder);
  void SetProgramName(const std::string& name) { programName_ = name; }
  void SetHomeFolder(const std::string& folder) { homeFolder_ = folder; }
  void SetDocumentsFolder(const std::string& folder) { documentsFolder_ = folder; }
  void SetDesktopFolder(const std::string& folder) { desktopFolder_ = folder; }
  const std::string& ProgramFolder() const { return programFolder_; }
  const std::string& ProgramName() const { return programName_; }
  std::string HomeFolder() const;  ///< override, else $HOME; empty when unknown
  /// Override, else $XDG_DOCUMENTS_DIR, else the user-dirs file's entry, else ~/Documents.
  std::string DocumentsFolder() const;
  /// Override, else $XDG_DESKTOP_DIR, else the user-dirs file's entry, else ~/Desktop.
  std::string DesktopFolder() const;
  /// Application settings "Ploxen.sys" in the program folder.
  std::string AppSettingsPath() const;
  /// Program options: the program name with ".ini" in the program folder.
  std::string ProgramOptionsPath() const;
  /// User settings "<documents>/.Ploxen/<program>.usr" (folder created), else in the program
  /// folder.
  std::string UserSettingsPath() const;

  // History of recent calculations, newest first.
  /// Puts `entry` on top; "*" only refreshes the menu; "" rebuilds from the loaded `History`.
  void AddRecent(const std::string& entry);
  /// Removes entry `index` when it exists (a history run that could not open its workbook).
  void RemoveRecent(int index);
  const std::vector<std::string>& Recent() const { return recent_; }
  const RecentMenu& RecentMenuState() const { return menu_; }
  std::function<void()> onRecentChanged;  ///< called after the menu state was refreshed
  /// Start-up: reads the `History` section of the user settings file.
  void LoadHistory();
  /// Shutdown: writes at most 32 entries to `History` of the user settings file (backed up).
  int SaveHistory();
  /// Entry of the file expanded against the program folder (relative paths only).
  std::string ExpandEntry(const std::string& entry) const;
  /// Entry as written: relative to the program folder when it is an absolute path.
  std::string RelativeEntry(const std::string& entry) const;

  /// Writes a launcher "<folder>/<name>.desktop" (special folder 0 with a folder given) or
  /// "<desktop>/<folder>/<name>.desktop" that runs `target` with `arguments` in `workFolder`.
  bool CreateShortcut(const std::string& target, const std::string& folder, int specialFolder,
                      const std::string& workFolder, const std::string& arguments,
                      const std::string& name);

 private:
  void RefreshRecentMenu();
  std::string ConfigFolder() const;  ///< where "user-dirs.dirs" lives
  std::string UserFolder(const char* key, const char* fallback) const;

  SectionStore store_;
  std::string programFolder_;
  std::string programName_;
  std::string homeFolder_;
  std::string documentsFolder_;
  std::string desktopFolder_;
  std::vector<std::string> recent_;
  RecentMenu menu_;
};

}  // namespace ploxen

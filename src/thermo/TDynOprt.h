// The "Behaviour of System" window as a model: the fluid behaviour model in use, the database
// file in use with its reference file, and the database lookups other subsystems go through.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "thermo/PXDatabase.h"

namespace ploxen {

class Periodica;
class TAplMsgWnd;
class TAplStgsWnd;
class UserDialogs;

/// Positions of the window's controls for a client width [pixels].
struct TDynOprtLayout {
  int buttonCloseLeft = 0;  ///< "Close" centred
  int editDBWidth = 0;      ///< database path edit: window width - ". . ." width - 32
  int buttonDBLeft = 0;     ///< ". . ." 8 pixels right of the edit
};

/// Owns the database store, the choice of the database file and of the behaviour model.
class TTDynOprtWnd {
 public:
  static constexpr const char* kCaption = "Behaviour of System";
  static constexpr const char* kSettingsFileName = "Ploxen.sys";
  static constexpr const char* kFirstReference = "[0]: correlation or interpolation or extrapolation";

  TTDynOprtWnd(TAplMsgWnd& log, TAplStgsWnd& settings, Periodica& elements, UserDialogs& dialogs);

  /// Start-up: element table, application settings, database and reference file (once).
  void StartUp();
  /// Loads a database file and reports; its modification stamp, 0 when it does not exist.
  std::int64_t OpenDatabase(const std::string& path);
  /// File dialog for another database: 0 cancelled, -1 missing file, else the file's stamp.
  std::int64_t ChooseDatabase();
  /// The ". . ." button: ChooseDatabase, then the edit shows the database in use.
  void ButtonDBClick();
  /// Reloads the database when its file changed on disk since it was loaded.
  void RefreshDatabase();
  /// A click on item `index` of "Behaviour of Fluids": the model in use, with a warning above 3.
  void RGgrlClick(int index);
  /// Reads references, user elements and the gas constant from the database's ".ref" file.
  void ReadReferenceFile();
  /// A file saved through the settings window: re-reads the reference file when it is that file.
  void OnSettingsFileSaved(const std::string& path);
  /// The reference-list entries of the keys in field 19 of `record`, each followed by "; ".
  std::string ReferencesOf(int record);
  /// Moles of an amount given at normal conditions (273.15 K, 1.01325 bar) for the dataset
  /// `record`, which the caller selected into TDS before; 0 when the amount cannot be read.
  double NormalVolumeMoles(std::string_view amount, int record);

  /// The dataset for a compound at T [K]; on success TDS holds it. Record or -1.
  int FindDataset(std::string_view name, std::string_view phase, double tK) {
    return db_.FindDataset(name, phase, tK);
  }
  /// Number of datasets of a name and phase and their temperature span [K].
  PXDatabase::TemperatureRange TemperatureRangeOf(std::string_view name,
                                                  std::string_view phase) const {
    return db_.TemperatureRangeOf(name, phase);
  }

  PXDatabase& Database() { return db_; }
  const PXDatabase& Database() const { return db_; }
  int Model() const { return model_; }  ///< behaviour model index 0..6
  /// Item captions of "Behaviour of Fluids".
  static std::vector<std::string> RGgrlItems();
  const std::string& DatabasePath() const { return databasePath_; }
  std::int64_t DatabaseTime() const { return databaseTime_; }  ///< stamp at the last load
  const std::string& EditDB() const { return editDB_; }      ///< text of the database edit
  const std::string& ReferencePath() const { return referencePath_; }
  const std::vector<std::string>& ReferenceList() const { return referenceList_; }
  const std::string& ProjectFolder() const { return projectFolder_; }
  const std::string& HelpIndex() const { return helpIndex_; }
  bool Initialised() const { return initialised_; }

  /// The extrapolation option: datasets used outside their temperature range take part.
  bool CBExtrapolation() const { return extrapolation_; }
  void SetCBExtrapolation(bool on) { extrapolation_ = on; }
  void ToggleCBExtrapolation() { extrapolation_ = !extrapolation_; }

  /// Control positions for a client width, "Close" width and ". . ." width [pixels].
  static TDynOprtLayout Layout(int clientWidth, int buttonCloseWidth, int buttonDBWidth,
                               int editDBLeft);

  std::function<void(bool)> onBusy;  ///< wait cursor on (true) and off (false)

 private:
  std::string DefaultDatabasePath() const;
  void ReadGeneralSettings();
  std::string SettingPath(const std::string& key) const;
  void ReadReferenceSection();
  void ReadElementsSection();
  void ReadConstantsSection();

  TAplMsgWnd& log_;
  TAplStgsWnd& settings_;
  Periodica& elements_;
  UserDialogs& dialogs_;
  PXDatabase db_;
  int model_ = 3;
  std::string databasePath_;
  std::int64_t databaseTime_ = 0;
  std::string editDB_ = "Ploxen.tdb";
  std::string referencePath_;
  std::vector<std::string> referenceList_;
  std::string projectFolder_;
  std::string helpIndex_;
  bool extrapolation_ = true;
  bool initialised_ = false;
};

}  // namespace ploxen

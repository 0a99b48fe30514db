// Thermodynamic database: the ".tdb" dataset store, dataset lookup and the current-dataset record.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "chem/PTools.h"

namespace ploxen {

class TAplMsgWnd;

/// The current-dataset record, overwritten by every selection.
struct TDS {
  std::string name;   ///< compound name (field 1)
  std::string phase;  ///< "(g)", "(l)" or "(s)" (field 2)
  double Tmin = 0.0;  ///< lowest temperature of validity [K]
  double Tmax = 0.0;  ///< highest temperature of validity [K]
  double T0 = 0.0;    ///< reference temperature of H0 and S0 [K]
  double H0 = 0.0;    ///< enthalpy at T0 [J/mol]
  double S0 = 0.0;    ///< entropy at T0 [J/(mol K)]
  double a = 0.0, b = 0.0, c = 0.0, d = 0.0, e = 0.0, f = 0.0;  ///< stored Cp coefficients
  double Tc = 0.0;            ///< critical temperature [K], 0 when none
  double Pc = 0.0;            ///< critical pressure [bar], 0 when none
  double omega = 0.0;         ///< acentric factor, dimensionless
  std::string molDefinition;  ///< formula such as "H2O1" (field 17)
  std::string description;    ///< field 18
  std::string references;     ///< field 19
  int rangeFlag = 0;          ///< -1 below Tmin, +1 above Tmax, 0 within the range
};

/// Field numbers of a dataset line (field 0 is the record number).
enum DatasetField : int {
  kFieldName = 1,
  kFieldPhase = 2,
  kFieldTmin = 3,
  kFieldTmax = 4,
  kFieldT0 = 5,
  kFieldH0 = 6,
  kFieldS0 = 7,
  kFieldA = 8,  ///< a to f are fields 8 to 13
  kFieldTc = 14,
  kFieldPc = 15,
  kFieldOmega = 16,
  kFieldMolDefinition = 17,
  kFieldDescription = 18,
  kFieldReferences = 19,
  kFieldCreated = 20,
  kFieldComments = 21,
};

/// The loaded database: text and numeric columns by record number, the candidate cache of
/// lookups, and the current-dataset record. Record 0 is the header line.
class PXDatabase {
 public:
  static constexpr int kFieldCount = 22;                              ///< fields stored per record
  static constexpr int kFirstNumeric = 3;                             ///< first numeric field
  static constexpr int kLastNumeric = 16;                             ///< last numeric field
  static constexpr std::size_t kMaxFileBytes = std::size_t{1} << 28;  ///< larger files are refused

  explicit PXDatabase(TAplMsgWnd& log);

  /// Empties the store (state 0) and copies the data-side gas constant [J/(mol K)].
  void InitDatabaseStore(double gasConstant = kGasConstant);
  /// Releases every record and the candidate cache.
  void FreeDatabaseStore();

  /// Loads a ".tdb" file: -1 missing, -2 unreadable, otherwise the record count (header included).
  int LoadDatabase(const std::string& path);

  /// Copies `record` into TDS when its name and phase match; with `probe`, an out-of-range
  /// record returns after setting only Tmin, Tmax and the range flag. Record or -1.
  int SelectDataset(int record, bool probe, std::string_view name, std::string_view phase,
                    double tK);
  /// The dataset for a compound at T [K]; on success TDS holds it. Record or -1.
  int FindDataset(std::string_view name, std::string_view phase, double tK);
  /// Adds the records of `name` (any phase for "(u)" or "(*)") to the candidate cache; count added.
  int CollectCandidates(std::string_view name, std::string_view phase);
  /// Best cached candidate: the first within its range, else the nearest range end. Record or -1.
  int PickCandidate(std::string_view name, std::string_view phase, double tK);

  /// Field 17 of the first record with exactly this name and phase; empty when none.
  std::string MolDefinitionOf(std::string_view name, std::string_view phase) const;

  /// Number of datasets of a name and phase and their lowest Tmin and highest Tmax [K].
  struct TemperatureRange {
    int count = 0;
    double lowestTmin = -1.0;   ///< K, -1 when there is no dataset
    double highestTmax = -1.0;  ///< K, -1 when there is no dataset
  };
  TemperatureRange TemperatureRangeOf(std::string_view name, std::string_view phase) const;

  /// Field k (0..22) of a record as stored (trimmed); empty outside the store. The view stays
  /// valid until the next load.
  std::string_view Field(int record, int k) const;
  /// Numeric field k (3..16) of a record; 0 outside the store.
  double Number(int record, int k) const;

  const TDS& Tds() const { return tds_; }
  int RecordCount() const { return static_cast<int>(records_.size()); }
  int DatabaseState() const { return state_; }  ///< -1 missing file, 0 empty, 1 loaded
  const std::string& DatabasePath() const { return path_; }
  int CandidateCount() const { return static_cast<int>(candidates_.size()); }
  double GasConstant() const { return gasConstant_; }  ///< data-side R [J/(mol K)]
  void SetGasConstant(double r) { gasConstant_ = r; }

  /// Number read from a numeric field: "," as ".", ".5" and "12." accepted, anything else 0.
  static double FieldNumber(std::string_view text);
  /// Text of message 526 for the line of record r whose column-0 text is `key`.
  static std::string IrregularDatasetText(int r, std::string_view key);
  /// Text of message 427 for a column whose length differs from the record count.
  static std::string IrregularColumnText(int column);

 private:
  struct Span {
    std::uint32_t offset = 0;
    std::uint32_t length = 0;
  };
  struct Record {
    std::array<Span, kFieldCount + 1> fields;  ///< [0] record number text, [1..22] fields
    std::array<double, kLastNumeric - kFirstNumeric + 1> numbers{};
  };

  void Clear();
  bool ReadFile(const std::string& path, std::string& buffer) const;
  void ParseBuffer(const std::string& raw);
  void AddRecord(std::string_view line);
  void CheckColumns();
  void IndexNames();
  bool Matches(int record, std::string_view name, std::string_view phase) const;

  TAplMsgWnd& log_;
  std::string text_;  ///< every stored field, back to back
  std::vector<Record> records_;
  std::array<std::size_t, kFieldCount + 1> columnLengths_{};  ///< entries per text column
  std::unordered_map<std::string_view, std::vector<int>>
      byName_;                     ///< records per name (views into text_)
  std::vector<int> candidates_;    ///< candidate cache, list order
  std::vector<char> isCandidate_;  ///< per record: in the cache
  std::unordered_map<std::string_view, std::vector<int>> candidatesByName_;  ///< cache per name
  TDS tds_;
  int state_ = 0;
  std::string path_;
  double gasConstant_ = kGasConstant;
};

}  // namespace ploxen

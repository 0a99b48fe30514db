// Element table and formula parser: symbols, names, weights, mol definitions, phase suffixes.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace ploxen {

/// The system's one element table. Index 0 is the electron "E", 1..105 the built-in
/// elements by atomic number, then "D" and user elements; at most 256 entries.
class Periodica {
 public:
  static constexpr int kCapacity = 256;

  Periodica();  ///< fills the built-in entries (InitElementTable)

  void InitElementTable();  ///< built-in entries, number column, last index 105
  void FreeElementTable();  ///< empties the table (last index -1)

  std::string ElementSymbol(int index) const;  ///< empty outside 0..size-1
  std::string ElementName(int index) const;    ///< empty outside 0..size-1
  double ElementWeight(int index) const;       ///< g/mol; 0 outside 0..last index
  int ElementNumber(int index) const;          ///< atom number shown to the user; 0 outside
  int LastElementIndex() const { return lastIndex_; }
  int Size() const { return lastIndex_ + 1; }
  /// Index of a symbol (exact, case-sensitive), -1 when absent.
  int FindSymbol(std::string_view symbol) const;

  /// Adds or replaces an entry; returns its index or -1. Sets ElementMessage().
  int DefineElement(const std::string& symbol, const std::string& name, int number,
                    const std::string& replaced, double weight);
  /// One line of the reference file's Elements section. Index, 0 for a comment, <0 on failure.
  int ParseElementLine(const std::string& line);

  /// Atoms of `symbol` in a mol definition such as "H2O1"; 0 when absent or irregular.
  double ElementCount(std::string_view symbol, std::string_view molDefinition) const;
  /// Molar mass in g/mol: sum over every table entry of count x weight.
  double MolarMass(std::string_view molDefinition) const;

  const std::string& ElementMessage() const { return elementMessage_; }
  const std::string& MolDefinitionError() const { return molDefinitionError_; }
  void SetReferenceFileName(std::string name) { referenceFileName_ = std::move(name); }
  const std::string& ReferenceFileName() const { return referenceFileName_; }

 private:
  std::array<std::string, kCapacity> symbol_;
  std::array<std::string, kCapacity> name_;
  std::array<double, kCapacity> weight_{};
  std::array<int, kCapacity> number_{};
  int lastIndex_ = -1;
  std::string elementMessage_;
  mutable std::string molDefinitionError_;
  std::string referenceFileName_;
};

/// A compound name split into name and phase "(g)", "(l)", "(s)" or "(u)".
struct PhaseSplit {
  std::string name;
  std::string phase;
  bool ok = false;  ///< name not empty
};
PhaseSplit SplitPhaseSuffix(std::string_view text);

}  // namespace ploxen

// The system matrix ("System Matrix") as a model: compounds with known activities become rows
// ln a + G/(R T) = sum a[q][j] lambda_j, solved for the Lagrange coefficients lambda_j, from
// which every other compound's activity follows.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "linalg/LiGlSys.h"
#include "support/StringGrid.h"

namespace ploxen {

class Periodica;
class TAplMsgWnd;
class TTablOprtWnd;

/// The system matrix window's state and logic; the view only shows `SGLge` and `Caption`.
class TLSolverWnd {
 public:
  static constexpr double kGasConstant = 8.3143;  ///< [J/(mol K)] as the matrix uses it
  static constexpr double kExponentLimit = 700.0;
  static constexpr int kMaxCompounds = 2048;
  static constexpr int kMaxElementIndex = 110;  ///< highest element-table index of a column

  /// `selection`: the element selection, one byte per element-table index (grown as needed).
  TLSolverWnd(TAplMsgWnd& log, Periodica& elements, TTablOprtWnd& table,
              std::vector<std::uint8_t>& selection);

  std::string Caption = "System Matrix";
  StringGrid SGLge{2, 2};  ///< matrix rows, right-hand sides and the "Lagrange:" row
  bool active = false;     ///< set while the window is activated

  /// Empties the compound lists, counts and grid (2 x 2).
  void ResetMatrix();
  /// T [K], P [bar] and a third value kept for the caller.
  void SetConditions(double tK, double pBar, double third);
  /// Appends a compound; its index, or 0 when refused (messages 175, 179).
  int AddMatrixCompound(int phaseId, const std::string& name, int state, double activity,
                        bool reference, double hJmol, double gJmol,
                        const std::string& molDefinition, const std::string& phaseTag);
  /// Marks compound `q` as a reference row (message 183).
  void MarkReference(int q);
  /// Selects the elements, builds the rows and fits lambda; 1 on success, 0 otherwise.
  int BuildAndSolve();
  /// Activity of compound `q` from lambda; -1 above the exponent limit. For q <= 0 every
  /// compound's activity is computed and stored (`Activity`), and 0 is returned.
  double ActivityFromLagrange(int q);
  /// Correlation coefficient of the references' ln a + G/(R T) against sum a lambda (references
  /// without a positive activity left out); 0 when it cannot be formed.
  double FitQuality();

  /// Fills the grid as the "Lagrange" table of an equilibrium run: "Element" / "Lagrange Coef."
  /// then one column per element with its symbol and coefficient (number text).
  void ShowLagrange(const std::vector<std::string>& symbols, const std::vector<double>& lambda);
  /// Popup "Select All" and "Copy" (through the table operator).
  void SelectAll();
  void Copy();

  // ---- Results and per-compound values (1-based) ----
  int CompoundCount() const { return count_; }
  int ReferenceCount() const { return referenceCount_; }
  int ElementColumns() const { return static_cast<int>(elementIndex_.size()); }
  int ElementIndex(int j) const { return elementIndex_[j - 1]; }  ///< element-table index
  double Lambda(int j) const { return lambda_[j - 1]; }
  int RowsUsed() const { return rowsUsed_; }
  bool Solved() const { return solved_; }
  double Activity(int q) const { return compounds_[q].computed; }  ///< after q <= 0 call
  int State(int q) const { return compounds_[q].state; }
  const std::string& Name(int q) const { return compounds_[q].name; }
  double Temperature() const { return tK_; }    ///< [K]
  double Pressure() const { return pBar_; }     ///< [bar]
  double ThirdValue() const { return third_; }  ///< kept for the caller, unused here

 private:
  struct Compound {
    int phaseId = 0;
    std::string name, molDefinition;
    int state = 0;
    double activity = 1.0;
    bool reference = false, marked = false;
    double h = 0.0, g = 0.0, s = 0.0;  ///< [J/mol], [J/mol], [J/(mol K)]
    double computed = 0.0;
    std::vector<double> row;  ///< a[q][j] over the element columns
  };
  double ElementSum(const Compound& c) const;      ///< sum a[q][j] lambda_j
  double Exponent(const Compound& c) const;        ///< -G/(R T) + sum a[q][j] lambda_j
  double ReferenceValue(const Compound& c) const;  ///< ln a + G/(R T)
  bool HasSystemElement(const Compound& c) const;
  void SelectElements();
  std::string BuildColumns();
  int SolveMatrix();
  void WriteMatrixRow(int gridRow, const Compound& c);

  TAplMsgWnd& log_;
  Periodica& elements_;
  TTablOprtWnd& table_;
  std::vector<std::uint8_t>& selection_;
  LiGlSys fit_;
  double tK_ = 298.15, pBar_ = 1.0, third_ = 1.0;
  std::vector<Compound> compounds_{1};  ///< entry 0 holds the list headers
  int count_ = 0, referenceCount_ = 0, rowsUsed_ = 0;
  int phaseCount_[9]{}, phaseEnd_[9]{};  ///< per phase ID 1..8
  std::vector<int> elementIndex_;
  std::vector<double> lambda_;  ///< kMaxElementIndex entries; kept when a solve fails
  bool solved_ = false;
};

}  // namespace ploxen

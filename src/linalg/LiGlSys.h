// Linear least-squares fit over a fixed data matrix, and a straight-line regression.
#pragma once

#include <string>
#include <vector>

namespace ploxen {

/// Outcome of a straight-line regression y = slope x + intercept.
struct RegressionResult {
  int status = 0;  ///< 1 ok; 0 no points; -1 x constant; -2 y constant; -3 negative variance
  double slope = 0.0;
  double intercept = 0.0;
  double r = 0.0;  ///< correlation coefficient; 0 unless status is 1
};

/// Least-squares solver: a data matrix of up to 2048 x 128 values with one observed value per
/// row, solved through the normal equations by Gaussian elimination with partial pivoting.
/// Rows and columns count from 1. The tables are allocated once, in the constructor.
class LiGlSys {
 public:
  static constexpr int kMaxRows = 2048;
  static constexpr int kMaxColumns = 128;

  /// Fit status as `Coefficient(0)` and `FitStatus()` give it.
  enum Status : int { kLinearDependence = 0, kTruncated = 2, kComplete = 4 };

  LiGlSys();

  /// Sets the data matrix, the observed values, the normal equations and c[1..128] to 0.
  void ClearFit();
  /// X[row][column] := value; false (nothing stored) outside 1..2048 x 1..128.
  bool SetData(int row, int column, double value);
  /// y[row] := value; false outside 1..2048.
  bool SetObserved(int row, double value);
  /// Least-squares coefficients of `columns` data columns over the first `rows` rows; false
  /// when a count is out of range (status untouched) or the columns are linearly dependent
  /// (a pivot vanishes against its column's size).
  bool Fit(int rows, int columns);
  /// c[k] for k = 1..128 (the coefficient of data column k); c[0] is the fit status.
  double Coefficient(int k) const;
  int FitStatus() const { return status_; }
  /// "Correlation complete", "Only first 2048 data are correlated" or "Linear dependence".
  const std::string& StatusText() const { return statusText_; }
  int Rows() const { return rows_; }
  int Columns() const { return columns_; }

  /// Sets the running sums of the regression to 0.
  void ClearRegression();
  /// Adds one point (x, y) to the running sums.
  void AddPair(double x, double y);
  /// Regression over the first `count` points added since `ClearRegression`.
  RegressionResult Regression(int count);
  double VarianceX() const { return varX_; }  ///< of the last regression
  double VarianceY() const { return varY_; }  ///< of the last regression

 private:
  double& X(int row, int column) { return x_[(row - 1) * kMaxColumns + (column - 1)]; }
  double& N(int i, int j) { return normal_[(i - 1) * kMaxColumns + (j - 1)]; }
  void FormNormalEquations();
  bool Eliminate();
  bool NegligiblePivot(double pivot, int column) const;
  bool BackSubstitute();

  std::vector<double> x_;       ///< data matrix, row-major, 2048 x 128
  std::vector<double> y_;       ///< observed values, index 1..2048
  std::vector<double> normal_;  ///< normal matrix, 128 x 128
  std::vector<double> h_;       ///< right-hand side, index 1..128
  std::vector<double> c_;       ///< coefficients, index 1..128; index 0 the status
  std::vector<int> order_;      ///< pivot permutation, index 1..128
  std::vector<double> scale_;   ///< largest |N| of each column before elimination, 1..128
  int rows_ = 0, columns_ = 0;
  int status_ = kLinearDependence;  ///< nothing fitted yet
  std::string statusText_;

  double sumX_ = 0, sumY_ = 0, sumXY_ = 0, sumXX_ = 0, sumYY_ = 0;
  double varX_ = 0, varY_ = 0;
};

}  // namespace ploxen

// Linear least-squares fit over a fixed data matrix, and a straight-line regression.
#include "linalg/LiGlSys.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace ploxen {
namespace {
constexpr std::size_t kMatrixSize =
    static_cast<std::size_t>(LiGlSys::kMaxRows) * LiGlSys::kMaxColumns;
constexpr std::size_t kNormalSize =
    static_cast<std::size_t>(LiGlSys::kMaxColumns) * LiGlSys::kMaxColumns;
constexpr double kVarianceFloor = 1e-23;  // variances below count as a constant series
// A pivot this small against its column's size is rounding noise left by a dependent column;
// the normal equations could not resolve columns that nearly collinear anyway.
constexpr double kDependenceTolerance = 1e-12;
}  // namespace

LiGlSys::LiGlSys()
    : x_(kMatrixSize, 0.0),
      y_(kMaxRows + 1, 0.0),
      normal_(kNormalSize, 0.0),
      h_(kMaxColumns + 1, 0.0),
      c_(kMaxColumns + 1, 0.0),
      order_(kMaxColumns + 1, 0),
      scale_(kMaxColumns + 1, 0.0) {}

void LiGlSys::ClearFit() {
  std::fill(x_.begin(), x_.end(), 0.0);
  std::fill(y_.begin(), y_.end(), 0.0);
  std::fill(normal_.begin(), normal_.end(), 0.0);
  std::fill(h_.begin(), h_.end(), 0.0);
  std::fill(c_.begin() + 1, c_.end(), 0.0);
}

bool LiGlSys::SetData(int row, int column, double value) {
  if (row < 1 || row > kMaxRows || column < 1 || column > kMaxColumns) return false;
  X(row, column) = value;
  return true;
}

bool LiGlSys::SetObserved(int row, double value) {
  if (row < 1 || row > kMaxRows) return false;
  y_[row] = value;
  return true;
}

double LiGlSys::Coefficient(int k) const {
  if (k == 0) return status_;
  if (k < 1 || k > kMaxColumns) return 0.0;
  return c_[k];
}

bool LiGlSys::Fit(int rows, int columns) {
  rows_ = rows;
  columns_ = columns;
  if (rows < 1 || columns < 1 || columns > kMaxColumns) return false;
  status_ = kComplete;
  statusText_ = "Correlation complete";
  if (rows_ > kMaxRows) {
    status_ = kTruncated;
    statusText_ = "Only first 2048 data are correlated";
    rows_ = kMaxRows;
  }
  FormNormalEquations();
  if (Eliminate() && BackSubstitute()) return true;
  status_ = kLinearDependence;
  statusText_ = "Linear dependence";
  return false;
}

// N = X'X and h = X'y over the first rows_ rows; N is symmetric, so only its upper half is summed.
void LiGlSys::FormNormalEquations() {
  for (int i = 1; i <= columns_; ++i) {
    double hi = 0.0;
    for (int r = 1; r <= rows_; ++r) hi += X(r, i) * y_[r];
    h_[i] = hi;
    for (int j = i; j <= columns_; ++j) {
      double nij = 0.0;
      for (int r = 1; r <= rows_; ++r) nij += X(r, i) * X(r, j);
      N(i, j) = nij;
      N(j, i) = nij;
    }
  }
  for (int j = 1; j <= columns_; ++j) {
    scale_[j] = 0.0;
    for (int i = 1; i <= columns_; ++i) scale_[j] = std::max(scale_[j], std::fabs(N(i, j)));
  }
}

// With partial pivoting every elimination factor is at most 1, so what a dependent column
// leaves behind stays rounding noise on the scale of that column's own entries.
bool LiGlSys::NegligiblePivot(double pivot, int column) const {
  return std::fabs(pivot) <= kDependenceTolerance * scale_[column];
}

// Forward elimination with partial pivoting. Rows are never moved: order_[k] names the row that
// serves as the k-th pivot row. On ties the first candidate found keeps the pivot; a pivot of 0
// (or of rounding size) means the columns are linearly dependent.
bool LiGlSys::Eliminate() {
  const int n = columns_;
  for (int i = 1; i <= n; ++i) order_[i] = i;
  for (int k = 1; k < n; ++k) {
    int best = k;
    for (int i = k + 1; i <= n; ++i) {
      if (std::fabs(N(order_[i], k)) > std::fabs(N(order_[best], k))) best = i;
    }
    std::swap(order_[k], order_[best]);
    const int p = order_[k];
    const double pivot = N(p, k);
    if (NegligiblePivot(pivot, k)) return false;
    for (int i = k + 1; i <= n; ++i) {
      const int r = order_[i];
      const double factor = N(r, k) / pivot;
      for (int j = k; j <= n; ++j) N(r, j) -= factor * N(p, j);
      h_[r] -= factor * h_[p];
    }
  }
  return true;
}

// Solves the triangular system from the last pivot row up; c[k] belongs to data column k.
bool LiGlSys::BackSubstitute() {
  const int n = columns_;
  if (NegligiblePivot(N(order_[n], n), n)) return false;
  for (int k = n; k >= 1; --k) {
    const int r = order_[k];
    double sum = h_[r];
    for (int j = k + 1; j <= n; ++j) sum -= N(r, j) * c_[j];
    c_[k] = sum / N(r, k);
  }
  return true;
}

void LiGlSys::ClearRegression() {
  sumX_ = sumY_ = sumXY_ = sumXX_ = sumYY_ = 0.0;
}

void LiGlSys::AddPair(double x, double y) {
  sumX_ += x;
  sumY_ += y;
  sumXY_ += x * y;
  sumXX_ += x * x;
  sumYY_ += y * y;
}

RegressionResult LiGlSys::Regression(int count) {
  RegressionResult result;
  if (count <= 0) return result;
  const double n = count;
  const double meanX = sumX_ / n;
  const double meanY = sumY_ / n;
  varX_ = sumXX_ / n - meanX * meanX;
  if (std::fabs(varX_) < kVarianceFloor) {
    result.status = -1;
    return result;
  }
  varY_ = sumYY_ / n - meanY * meanY;
  if (std::fabs(varY_) < kVarianceFloor) {
    result.status = -2;
    return result;
  }
  result.slope = (sumXY_ / n - meanX * meanY) / varX_;
  result.intercept = meanY - result.slope * meanX;
  if (varX_ < 0.0 || varY_ < 0.0) {
    result.status = -3;
    return result;
  }
  result.r = result.slope * std::sqrt(varX_ / varY_);
  result.status = 1;
  return result;
}

}  // namespace ploxen

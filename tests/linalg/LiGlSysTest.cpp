// Least-squares fit and straight-line regression.
#include "linalg/LiGlSys.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace ploxen {
namespace {

using Row3 = std::array<double, 3>;

double Det3(const std::array<Row3, 3>& m) {
  return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
         m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
         m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// Solves the 3 x 3 normal equations by Cramer's rule: a method independent of the elimination.
Row3 CramerLeastSquares(const std::vector<Row3>& x, const std::vector<double>& y) {
  std::array<Row3, 3> n{};
  Row3 h{};
  for (std::size_t r = 0; r < x.size(); ++r) {
    for (int i = 0; i < 3; ++i) {
      h[i] += x[r][i] * y[r];
      for (int j = 0; j < 3; ++j) n[i][j] += x[r][i] * x[r][j];
    }
  }
  const double d = Det3(n);
  Row3 c{};
  for (int k = 0; k < 3; ++k) {
    auto m = n;
    for (int i = 0; i < 3; ++i) m[i][k] = h[i];
    c[k] = Det3(m) / d;
  }
  return c;
}

class FitTest : public ::testing::Test {
 protected:
  LiGlSys fit;

  void SetRow(int row, const std::vector<double>& values, double observed) {
    for (std::size_t j = 0; j < values.size(); ++j) {
      ASSERT_TRUE(fit.SetData(row, static_cast<int>(j) + 1, values[j]));
    }
    ASSERT_TRUE(fit.SetObserved(row, observed));
  }
};

TEST_F(FitTest, OverdeterminedDataMatchesAnIndependentSolution) {
  // A quadratic in t with a deterministic, uneven scatter on 25 points.
  std::vector<Row3> x;
  std::vector<double> y;
  for (int r = 1; r <= 25; ++r) {
    const double t = 0.3 * r - 2.0;
    const double scatter = 0.05 * std::sin(7.0 * r) + 0.02 * std::cos(3.0 * r * r);
    x.push_back({1.0, t, t * t});
    y.push_back(1.5 - 0.75 * t + 0.2 * t * t + scatter);
    SetRow(r, {1.0, t, t * t}, y.back());
  }
  ASSERT_TRUE(fit.Fit(25, 3));
  EXPECT_EQ(fit.FitStatus(), LiGlSys::kComplete);
  EXPECT_EQ(fit.Coefficient(0), 4.0);
  EXPECT_EQ(fit.StatusText(), "Correlation complete");

  const Row3 expected = CramerLeastSquares(x, y);
  for (int k = 0; k < 3; ++k) EXPECT_NEAR(fit.Coefficient(k + 1), expected[k], 1e-10) << k;

  // The residual of a least-squares solution is orthogonal to every data column.
  for (int k = 0; k < 3; ++k) {
    double dot = 0.0;
    for (std::size_t r = 0; r < x.size(); ++r) {
      const double model = x[r][0] * fit.Coefficient(1) + x[r][1] * fit.Coefficient(2) +
                           x[r][2] * fit.Coefficient(3);
      dot += x[r][k] * (y[r] - model);
    }
    EXPECT_NEAR(dot, 0.0, 1e-9) << k;
  }
}

TEST_F(FitTest, PivotRowsSwappedStillGiveCoefficientsInColumnOrder) {
  // Column 1 is tiny and column 3 large, so the elimination takes its pivots out of order;
  // exact data then has to come back as the generating coefficients, column by column.
  const double c1 = 4.0, c2 = -3.0, c3 = 0.25;
  int row = 0;
  for (double a : {0.001, -0.002, 0.0035, 0.0005}) {
    for (double b : {1.0, 2.5, -1.0}) {
      const double c = 100.0 * (a * 1000.0 + b * b);
      SetRow(++row, {a, b, c}, c1 * a + c2 * b + c3 * c);
    }
  }
  ASSERT_TRUE(fit.Fit(row, 3));
  EXPECT_NEAR(fit.Coefficient(1), c1, 1e-7);
  EXPECT_NEAR(fit.Coefficient(2), c2, 1e-9);
  EXPECT_NEAR(fit.Coefficient(3), c3, 1e-11);
}

TEST_F(FitTest, DependentColumnsFailWithLinearDependence) {
  for (int r = 1; r <= 6; ++r) SetRow(r, {1.0 * r, 1.0 * r, 2.0 - r}, 3.0 * r);
  EXPECT_FALSE(fit.Fit(6, 3));
  EXPECT_EQ(fit.FitStatus(), LiGlSys::kLinearDependence);
  EXPECT_EQ(fit.Coefficient(0), 0.0);
  EXPECT_EQ(fit.StatusText(), "Linear dependence");

  // A column that is twice another, and a column of zeros, are just as dependent.
  fit.ClearFit();
  for (int r = 1; r <= 6; ++r) SetRow(r, {1.0 * r, 2.0 * r}, 1.0);
  EXPECT_FALSE(fit.Fit(6, 2));
  fit.ClearFit();
  for (int r = 1; r <= 6; ++r) SetRow(r, {1.0 * r, 0.0}, 1.0);
  EXPECT_FALSE(fit.Fit(6, 2));

  // A column that is a combination of two others: elimination leaves rounding noise rather
  // than an exact 0 as the last pivot, and that noise must not pass for a solution.
  const double rows[][3] = {{1, 0, 2}, {0, 1, 3}, {1, 1, 5}, {2, 1, 7}, {3, 2, 12}};
  fit.ClearFit();
  for (int r = 0; r < 5; ++r) SetRow(r + 1, {rows[r][0], rows[r][1], rows[r][2]}, -10.0 - 3.7 * r);
  EXPECT_FALSE(fit.Fit(5, 3));
  fit.ClearFit();
  for (int r = 1; r <= 3; ++r) SetRow(r, {1.0 * r, r + 1.0, r + 2.0}, -1.0 * r * r);
  EXPECT_FALSE(fit.Fit(3, 3));

  // The next fit of independent data succeeds again and resets the status.
  fit.ClearFit();
  for (int r = 1; r <= 6; ++r) SetRow(r, {1.0, 1.0 * r}, 1.0 + 2.0 * r);
  ASSERT_TRUE(fit.Fit(6, 2));
  EXPECT_EQ(fit.StatusText(), "Correlation complete");
  EXPECT_NEAR(fit.Coefficient(1), 1.0, 1e-12);
  EXPECT_NEAR(fit.Coefficient(2), 2.0, 1e-12);
}

TEST_F(FitTest, MoreThan2048RowsUseOnlyTheFirst2048) {
  for (int r = 1; r <= LiGlSys::kMaxRows; ++r) {
    const double t = r / 100.0;
    SetRow(r, {1.0, t}, 0.5 + 3.0 * t + 0.01 * std::sin(r));
  }
  EXPECT_FALSE(fit.SetData(2049, 1, 1.0));
  EXPECT_FALSE(fit.SetObserved(2049, 1.0));

  ASSERT_TRUE(fit.Fit(2048, 2));
  const double c1 = fit.Coefficient(1), c2 = fit.Coefficient(2);
  EXPECT_EQ(fit.FitStatus(), LiGlSys::kComplete);

  ASSERT_TRUE(fit.Fit(3000, 2));
  EXPECT_EQ(fit.FitStatus(), LiGlSys::kTruncated);
  EXPECT_EQ(fit.Coefficient(0), 2.0);
  EXPECT_EQ(fit.StatusText(), "Only first 2048 data are correlated");
  EXPECT_EQ(fit.Rows(), 2048);
  EXPECT_EQ(fit.Coefficient(1), c1);
  EXPECT_EQ(fit.Coefficient(2), c2);
}

TEST_F(FitTest, AllZeroRowChangesNothing) {
  for (int r = 1; r <= 5; ++r) SetRow(r, {1.0, r * 0.7, std::cos(r)}, std::exp(0.1 * r));
  ASSERT_TRUE(fit.Fit(5, 3));
  const double c1 = fit.Coefficient(1), c2 = fit.Coefficient(2), c3 = fit.Coefficient(3);
  SetRow(6, {0.0, 0.0, 0.0}, 0.0);
  ASSERT_TRUE(fit.Fit(6, 3));
  EXPECT_EQ(fit.Coefficient(1), c1);
  EXPECT_EQ(fit.Coefficient(2), c2);
  EXPECT_EQ(fit.Coefficient(3), c3);
}

TEST_F(FitTest, ClearFitForgetsEarlierData) {
  for (int r = 1; r <= 5; ++r) SetRow(r, {1.0, 1.0 * r}, 10.0 * r * r);
  ASSERT_TRUE(fit.Fit(5, 2));
  fit.ClearFit();
  EXPECT_EQ(fit.Coefficient(1), 0.0);
  // Only rows 1..3 are given again; rows 4 and 5 must be empty rows now.
  for (int r = 1; r <= 3; ++r) SetRow(r, {1.0, 1.0 * r}, 2.0 - r);
  ASSERT_TRUE(fit.Fit(5, 2));
  EXPECT_NEAR(fit.Coefficient(1), 2.0, 1e-12);
  EXPECT_NEAR(fit.Coefficient(2), -1.0, 1e-12);
}

TEST_F(FitTest, OutOfRangeIndicesAndCountsAreRefused) {
  EXPECT_FALSE(fit.SetData(0, 1, 1.0));
  EXPECT_FALSE(fit.SetData(-3, 1, 1.0));
  EXPECT_FALSE(fit.SetData(1, 0, 1.0));
  EXPECT_FALSE(fit.SetData(1, 129, 1.0));
  EXPECT_FALSE(fit.SetData(2049, 1, 1.0));
  EXPECT_TRUE(fit.SetData(2048, 128, 1.0));
  EXPECT_FALSE(fit.SetObserved(0, 1.0));
  EXPECT_FALSE(fit.SetObserved(2049, 1.0));
  EXPECT_TRUE(fit.SetObserved(2048, 1.0));
  EXPECT_EQ(fit.Coefficient(-1), 0.0);
  EXPECT_EQ(fit.Coefficient(129), 0.0);

  for (int r = 1; r <= 3; ++r) SetRow(r, {1.0, 1.0 * r}, 1.0 * r);
  ASSERT_TRUE(fit.Fit(3, 2));
  // Empty or oversized counts are refused before the status is touched.
  EXPECT_FALSE(fit.Fit(0, 2));
  EXPECT_FALSE(fit.Fit(3, 0));
  EXPECT_FALSE(fit.Fit(3, 129));
  EXPECT_EQ(fit.FitStatus(), LiGlSys::kComplete);
  EXPECT_EQ(fit.StatusText(), "Correlation complete");
}

TEST(Regression, PointsOnALine) {
  LiGlSys fit;
  fit.ClearRegression();
  for (double x : {-2.0, 0.0, 1.0, 4.5, 7.0}) fit.AddPair(x, 2.0 * x + 1.0);
  const RegressionResult r = fit.Regression(5);
  EXPECT_EQ(r.status, 1);
  EXPECT_NEAR(r.slope, 2.0, 1e-12);
  EXPECT_NEAR(r.intercept, 1.0, 1e-12);
  EXPECT_NEAR(r.r, 1.0, 1e-12);

  fit.ClearRegression();
  for (double x : {1.0, 2.0, 3.0}) fit.AddPair(x, 5.0 - x);
  const RegressionResult down = fit.Regression(3);
  EXPECT_NEAR(down.slope, -1.0, 1e-12);
  EXPECT_NEAR(down.r, -1.0, 1e-12);
}

TEST(Regression, ScatteredPointsGiveTheirCorrelation) {
  // Four points with r = 0.8 exactly: x = (1,2,3,4), y = (1,3,2,4).
  LiGlSys fit;
  fit.ClearRegression();
  const double ys[] = {1.0, 3.0, 2.0, 4.0};
  for (int i = 0; i < 4; ++i) fit.AddPair(i + 1.0, ys[i]);
  const RegressionResult r = fit.Regression(4);
  EXPECT_EQ(r.status, 1);
  EXPECT_NEAR(r.slope, 0.8, 1e-12);
  EXPECT_NEAR(r.intercept, 0.5, 1e-12);
  EXPECT_NEAR(r.r, 0.8, 1e-12);
  EXPECT_NEAR(fit.VarianceX(), 1.25, 1e-12);
}

TEST(Regression, DegenerateSeriesGiveTheirStatus) {
  LiGlSys fit;
  fit.ClearRegression();
  EXPECT_EQ(fit.Regression(0).status, 0);

  for (double y : {1.0, 2.0, 3.0}) fit.AddPair(4.0, y);
  const RegressionResult sameX = fit.Regression(3);
  EXPECT_EQ(sameX.status, -1);
  EXPECT_EQ(sameX.r, 0.0);

  fit.ClearRegression();
  for (double x : {1.0, 2.0, 3.0}) fit.AddPair(x, -7.0);
  EXPECT_EQ(fit.Regression(3).status, -2);

  // A single point has no spread at all.
  fit.ClearRegression();
  fit.AddPair(3.0, 4.0);
  EXPECT_EQ(fit.Regression(1).status, -1);
}

}  // namespace
}  // namespace ploxen

// The system matrix: compounds, element columns, the fit of the Lagrange coefficients and the
// activities that follow from them.
#include "linalg/LSolver.h"

#include <algorithm>
#include <cmath>

#include "chem/PTools.h"
#include "chem/Periodica.h"
#include "support/AplMsg.h"

namespace ploxen {

TLSolverWnd::TLSolverWnd(TAplMsgWnd& log, Periodica& elements, TTablOprtWnd& table,
                         std::vector<std::uint8_t>& selection)
    : log_(log),
      elements_(elements),
      table_(table),
      selection_(selection),
      lambda_(kMaxElementIndex, 0.0) {
  ResetMatrix();
}

void TLSolverWnd::ResetMatrix() {
  compounds_.assign(1, Compound{});
  compounds_[0].name = "Substance";
  compounds_[0].molDefinition = "ESayi";
  count_ = 0;
  referenceCount_ = 0;
  std::fill(std::begin(phaseCount_), std::end(phaseCount_), 0);
  std::fill(std::begin(phaseEnd_), std::end(phaseEnd_), 0);
  SGLge.Resize(0, 0);
  SGLge.Resize(2, 2);
}

void TLSolverWnd::SetConditions(double tK, double pBar, double third) {
  tK_ = tK;
  pBar_ = pBar;
  third_ = third;
}

int TLSolverWnd::AddMatrixCompound(int phaseId, const std::string& name, int state, double activity,
                                   bool reference, double hJmol, double gJmol,
                                   const std::string& molDefinition, const std::string& phaseTag) {
  const std::string id = std::to_string(phaseId);
  if (phaseId < 1 || phaseId > 8) {
    log_.Post(kMsgCritical, 175, "Phase ID is irregular" + id);
    return 0;
  }
  if (phaseId >= 3 && phaseTag == "g") {
    log_.Post(kMsgCritical, 179, "Phase ID of gases is 1 or 2; Invalid for Gas ID:" + id);
    return 0;
  }
  if (count_ >= kMaxCompounds) {
    log_.Post(
        kMsgCritical, 176,
        "Too many substances in system matrix (max. 2048): " + name + " can not be considered !");
    return 0;
  }
  Compound c;
  c.phaseId = phaseId;
  c.name = name;
  c.molDefinition = molDefinition;
  c.state = state;
  c.activity = activity;
  c.reference = reference;
  c.h = hJmol;
  c.g = gJmol;
  if (tK_ > 0.0) c.s = (hJmol - gJmol) / tK_;
  compounds_.push_back(std::move(c));
  ++phaseCount_[phaseId];
  return ++count_;
}

void TLSolverWnd::MarkReference(int q) {
  if (q < 1 || q > count_) return;
  compounds_[q].marked = true;
  referenceCount_ = static_cast<int>(std::count_if(compounds_.begin() + 1, compounds_.end(),
                                                   [](const Compound& c) { return c.marked; }));
  log_.Post(kMsgInformation, 183,
            std::to_string(referenceCount_) + ": Reference " + compounds_[q].name);
}

int TLSolverWnd::BuildAndSolve() {
  if (tK_ <= 0.0) {
    log_.Post(kMsgError, 360, "T<=0");
    return 0;
  }
  int end = 0;
  for (int p = 1; p <= 8; ++p) phaseEnd_[p] = end += phaseCount_[p];
  SGLge.Resize(0, 0);
  SGLge.Resize(2, 2);

  SelectElements();
  std::string dropped = BuildColumns();
  SGLge.SetColCount(ElementColumns() + 2);
  if (!dropped.empty()) {
    dropped.resize(dropped.size() - 2);  // the last ", "
    log_.Post(kMsgCritical, 320, "No values for: " + dropped);
  }
  return SolveMatrix();
}

// Every element that some compound contains joins the selection; selected elements that no
// compound contains stay selected and are dropped again by BuildColumns.
void TLSolverWnd::SelectElements() {
  const std::size_t size = static_cast<std::size_t>(std::max(elements_.Size(), 0));
  if (selection_.size() < size) selection_.resize(size, 0);
  for (int i = 0; i < elements_.Size(); ++i) {
    if (selection_[i]) continue;
    const std::string symbol = elements_.ElementSymbol(i);
    for (int q = 1; q <= count_; ++q) {
      if (elements_.ElementCount(symbol, compounds_[q].molDefinition) > 0.0) {
        selection_[i] = 1;
        break;
      }
    }
  }
}

// Selected elements of table indices 1..110 become the columns, in ascending order. An element
// that no usable reference carries (reference weight 0) cannot be fitted: it is deselected and
// every compound containing it is switched off. Returns the dropped symbols, each with ", ".
std::string TLSolverWnd::BuildColumns() {
  elementIndex_.clear();
  for (int q = 1; q <= count_; ++q) compounds_[q].row.clear();
  std::string dropped;
  const int last = std::min(kMaxElementIndex, elements_.LastElementIndex());
  std::vector<double> column(count_ + 1, 0.0);
  for (int i = 1; i <= last; ++i) {
    if (!selection_[i]) continue;
    const std::string symbol = elements_.ElementSymbol(i);
    double weight = 0.0;
    for (int q = 1; q <= count_; ++q) {
      const Compound& c = compounds_[q];
      column[q] = elements_.ElementCount(symbol, c.molDefinition);
      if (c.marked && column[q] > 0.0) weight += column[q] * c.activity;
    }
    if (weight == 0.0) {
      for (int q = 1; q <= count_; ++q) {
        if (column[q] > 0.0) compounds_[q].state = 0;
      }
      selection_[i] = 0;
      dropped += symbol + ", ";
      continue;
    }
    elementIndex_.push_back(i);
    SGLge.SetColCount(std::max(SGLge.ColCount(), ElementColumns() + 1));
    SGLge.SetCell(ElementColumns(), 0, symbol);
    for (int q = 1; q <= count_; ++q) compounds_[q].row.push_back(column[q]);
  }
  return dropped;
}

// One data row per marked reference with a positive activity, then the least-squares fit.
int TLSolverWnd::SolveMatrix() {
  const int e = ElementColumns();
  Caption = "System Matrix";
  SGLge.SetCell(e + 1, 0, "ln(a)+ G/(R.T)");
  fit_.ClearFit();
  int rows = 0;
  for (int q = 1; q <= count_; ++q) {
    const Compound& c = compounds_[q];
    if (!c.marked || !(c.activity > 0.0)) continue;
    ++rows;
    for (int j = 1; j <= e; ++j) fit_.SetData(rows, j, c.row[j - 1]);
    fit_.SetObserved(rows, ReferenceValue(c));
    if (SGLge.RowCount() < rows + 2) SGLge.SetRowCount(rows + 2);
    WriteMatrixRow(rows, c);
  }
  SGLge.SetRowCount(rows + 2);
  SGLge.SetCell(0, rows + 1, "Lagrange:");
  if (rows == 0 || e == 0) {
    log_.Post(kMsgCritical, 285, "No any references");
    return 0;
  }
  // The row after the last is empty: it leaves the normal equations as they are.
  if (!fit_.Fit(rows + 1, e)) {
    log_.Post(kMsgCritical, 288, "Linear dependence ");
    return 0;
  }
  for (int j = 1; j <= e; ++j) {
    lambda_[j - 1] = fit_.Coefficient(j);
    SGLge.SetCell(j, rows + 1, FormatFloat8(lambda_[j - 1]));
  }
  rowsUsed_ = rows;
  solved_ = true;
  return 1;
}

void TLSolverWnd::WriteMatrixRow(int gridRow, const Compound& c) {
  const int e = ElementColumns();
  SGLge.SetCell(0, gridRow, c.name);
  for (int j = 1; j <= e; ++j) SGLge.SetCell(j, gridRow, FormatFloat8(c.row[j - 1]));
  SGLge.SetCell(e + 1, gridRow, FormatFloat8(ReferenceValue(c)));
}

double TLSolverWnd::ReferenceValue(const Compound& c) const {
  return std::log(c.activity) + c.g / (kGasConstant * tK_);
}

// sum a[q][j] lambda_j over the current element columns.
double TLSolverWnd::ElementSum(const Compound& c) const {
  double sum = 0.0;
  const std::size_t e = std::min(c.row.size(), elementIndex_.size());
  for (std::size_t j = 0; j < e; ++j) sum += c.row[j] * lambda_[j];
  return sum;
}

double TLSolverWnd::Exponent(const Compound& c) const {
  return -c.g / (kGasConstant * tK_) + ElementSum(c);
}

bool TLSolverWnd::HasSystemElement(const Compound& c) const {
  const std::size_t e = std::min(c.row.size(), elementIndex_.size());
  return std::any_of(c.row.begin(), c.row.begin() + static_cast<std::ptrdiff_t>(e),
                     [](double a) { return a > 0.0; });
}

double TLSolverWnd::ActivityFromLagrange(int q) {
  if (tK_ <= 0.0) {
    log_.Post(kMsgError, 360, "T<=0");
    return 0.0;
  }
  auto activity = [this](const Compound& c) {
    const double s = Exponent(c);
    if (s > kExponentLimit) return -1.0;
    return HasSystemElement(c) && c.state != 0 ? std::exp(s) : 0.0;
  };
  if (q > 0) return q <= count_ ? activity(compounds_[q]) : 0.0;
  for (int k = 1; k <= count_; ++k) compounds_[k].computed = activity(compounds_[k]);
  return 0.0;
}

// References the caller named (used as rows or not) whose ln a is defined: the regression of
// their ln a + G/(R T) against sum a lambda; 1 for a perfect fit.
double TLSolverWnd::FitQuality() {
  fit_.ClearRegression();
  if (tK_ <= 0.0) return 0.0;
  int n = 0;
  for (int q = 1; q <= count_; ++q) {
    const Compound& c = compounds_[q];
    if (!c.reference || !(c.activity > 0.0)) continue;
    fit_.AddPair(ElementSum(c), ReferenceValue(c));
    ++n;
  }
  return fit_.Regression(n).r;
}

}  // namespace ploxen

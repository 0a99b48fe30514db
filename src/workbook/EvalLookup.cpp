// Lookup and array functions of the evaluator: VLOOKUP, INDEX, MATCH, SUMPRODUCT.
#include <cmath>
#include <vector>

#include "workbook/EvalInternal.h"
#include "workbook/FormulaFunctions.h"

namespace ploxen {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

// Matches text against a pattern with * (any run), ? (one character) and ~ (escape),
// ignoring letter case.
bool WildcardMatch(std::string_view p, std::string_view s) {
  size_t pi = 0, si = 0, star = std::string_view::npos, mark = 0;
  while (si < s.size()) {
    if (pi < p.size() && p[pi] == '*') {
      star = pi++;
      mark = si;
    } else if (pi < p.size() && p[pi] == '~' && pi + 1 < p.size() &&
               Lower(p[pi + 1]) == Lower(s[si])) {
      pi += 2;
      ++si;
    } else if (pi < p.size() && p[pi] != '~' && (p[pi] == '?' || Lower(p[pi]) == Lower(s[si]))) {
      ++pi;
      ++si;
    } else if (star != std::string_view::npos) {
      pi = star + 1;
      si = ++mark;
    } else {
      return false;
    }
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

bool SameRank(const CellValue& a, const CellValue& b) {
  auto rank = [](const CellValue& v) {
    return v.IsText() ? 1 : (v.IsBoolean() ? 2 : (v.IsNumber() ? 0 : 3));
  };
  return rank(a) == rank(b);
}

// Position (0-based) of `key` among `count` values read by `at`; -1 when there is none.
// mode 0: equal (wildcards in text); 1: the last value <= key of an ascending list;
// -1: the last value >= key of a descending list.
template <class At>
long FindPosition(const CellValue& key, long count, int mode, At at) {
  bool wild = mode == 0 && key.IsText() && key.text.find_first_of("*?~") != std::string::npos;
  long found = -1;
  for (long i = 0; i < count; ++i) {
    CellValue v = at(i);
    if (v.IsEmpty() || !SameRank(v, key)) continue;
    if (mode == 0) {
      if (wild ? WildcardMatch(key.text, v.text) : CompareValues(v, key) == 0) return i;
      continue;
    }
    int c = CompareValues(v, key);
    if (mode > 0 ? c > 0 : c < 0) break;
    found = i;
  }
  return found;
}

}  // namespace

EvalArg Evaluation::IndexReference(const FormulaNode& n) {
  EvalArg out;
  EvalArg a = Argument(*n.args[0]);
  double r = 0.0, c = 0.0;
  CellValue err;
  if (n.args.size() > 1 && n.args[1]->kind != NodeKind::kMissing && !NumberArg(n, 1, r, err)) {
    out.value = err;
    return out;
  }
  if (n.args.size() > 2 && n.args[2]->kind != NodeKind::kMissing && !NumberArg(n, 2, c, err)) {
    out.value = err;
    return out;
  }
  if (!a.isRef) {
    out.value = (r <= 1.0 && c <= 1.0) ? a.value : CellValue::Error(ErrorCode::kRef);
    return out;
  }
  long row = TruncArg(r), col = TruncArg(c);
  if (a.Rows() == 1 && n.args.size() == 2) col = row, row = 1;
  if (row == 0 && a.Rows() == 1) row = 1;
  if (col == 0 && a.Cols() == 1) col = 1;
  if (row < 0 || col < 0 || row > a.Rows() || col > a.Cols()) {
    out.value = CellValue::Error(ErrorCode::kRef);
    return out;
  }
  out = a;
  if (row > 0) out.row1 = out.row2 = a.row1 + static_cast<int>(row) - 1;
  if (col > 0) out.col1 = out.col2 = a.col1 + static_cast<int>(col) - 1;
  return out;
}

CellValue Evaluation::Lookup(int id, const FormulaNode& n) {
  if (id == kFnIndex) {
    EvalArg a = IndexReference(n);
    CellValue v = Deref(a);
    return v;
  }
  if (id == kFnSumProduct) {
    std::vector<double> acc;
    int rows = -1, cols = -1;
    for (const auto& node : n.args) {
      EvalArg a = Argument(*node);
      if (!a.isRef) {
        if (a.value.IsError()) return a.value;
        if (rows != -1 && (rows != 1 || cols != 1)) return CellValue::Error(ErrorCode::kValue);
        double x = a.value.IsNumber() ? a.value.number : 0.0;
        if (rows == -1) acc.assign(1, x), rows = cols = 1;
        else acc[0] *= x;
        continue;
      }
      if (rows == -1) {
        rows = a.Rows();
        cols = a.Cols();
        if (static_cast<double>(rows) * cols > 4e6) return CellValue::Error(ErrorCode::kNum);
        acc.assign(static_cast<size_t>(rows) * cols, 1.0);
      } else if (rows != a.Rows() || cols != a.Cols()) {
        return CellValue::Error(ErrorCode::kValue);
      }
      std::vector<double> vals(acc.size(), 0.0);
      CellValue err;
      bool failed = false;
      src.ForEachCell(*a.target, a.row1, a.col1, a.row2, a.col2,
                      [&](int r, int c, const CellValue& v) {
                        if (v.IsError() && !failed) err = v, failed = true;
                        if (v.IsNumber())
                          vals[static_cast<size_t>(r - a.row1) * cols + (c - a.col1)] = v.number;
                      });
      if (failed) return err;
      for (size_t i = 0; i < acc.size(); ++i) acc[i] *= vals[i];
    }
    double sum = 0.0;
    for (double x : acc) sum += x;
    return NumberResult(sum);
  }

  CellValue key = Scalar(*n.args[0]);
  if (key.IsError()) return key;
  if (key.IsEmpty()) return CellValue::Error(ErrorCode::kNA);
  EvalArg a = Argument(*n.args[1]);
  if (!a.isRef) return a.value.IsError() ? a.value : CellValue::Error(ErrorCode::kNA);
  int last = ClipRow2(a);
  if (id == kFnMatch) {
    double type = 1.0;
    CellValue err;
    if (n.args.size() > 2 && n.args[2]->kind != NodeKind::kMissing && !NumberArg(n, 2, type, err))
      return err;
    int mode = type > 0 ? 1 : (type < 0 ? -1 : 0);
    long pos;
    if (a.Cols() == 1) {
      pos = FindPosition(key, last - a.row1 + 1, mode, [&](long i) {
        return src.CellAt(*a.target, a.row1 + static_cast<int>(i), a.col1);
      });
    } else if (a.Rows() == 1) {
      pos = FindPosition(key, a.Cols(), mode, [&](long i) {
        return src.CellAt(*a.target, a.row1, a.col1 + static_cast<int>(i));
      });
    } else {
      return CellValue::Error(ErrorCode::kNA);
    }
    return pos < 0 ? CellValue::Error(ErrorCode::kNA) : CellValue::Number(pos + 1.0);
  }
  // VLOOKUP
  double colNum = 0.0;
  CellValue err;
  if (!NumberArg(n, 2, colNum, err)) return err;
  bool approx = true;
  if (n.args.size() > 3 && n.args[3]->kind != NodeKind::kMissing) {
    CellValue m = Scalar(*n.args[3]);
    if (m.IsError()) return m;
    approx = m.IsText() ? false : m.number != 0.0;
  }
  long col = TruncArg(colNum);
  if (col < 1) return CellValue::Error(ErrorCode::kValue);
  if (col > a.Cols()) return CellValue::Error(ErrorCode::kRef);
  long pos = FindPosition(key, last - a.row1 + 1, approx ? 1 : 0, [&](long i) {
    return src.CellAt(*a.target, a.row1 + static_cast<int>(i), a.col1);
  });
  if (pos < 0) return CellValue::Error(ErrorCode::kNA);
  return src.CellAt(*a.target, a.row1 + static_cast<int>(pos), a.col1 + static_cast<int>(col) - 1);
}

}  // namespace ploxen

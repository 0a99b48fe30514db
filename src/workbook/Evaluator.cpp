// Operators, coercions and references of the formula evaluator.
#include "workbook/Evaluator.h"

#include <charconv>
#include <cmath>
#include <vector>

#include "workbook/EvalInternal.h"
#include "workbook/FormulaFunctions.h"

namespace ploxen {

namespace {

char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

int CompareTextNoCase(const std::string& a, const std::string& b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    char x = Lower(a[i]), y = Lower(b[i]);
    if (x != y) return static_cast<unsigned char>(x) < static_cast<unsigned char>(y) ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

int TypeRank(const CellValue& v) {
  switch (v.kind) {
    case ValueKind::kText: return 1;
    case ValueKind::kBoolean: return 2;
    default: return 0;
  }
}

// Empty takes the neutral value of the other side's kind.
CellValue Neutral(const CellValue& other) {
  switch (other.kind) {
    case ValueKind::kText: return CellValue::Text("");
    case ValueKind::kBoolean: return CellValue::Boolean(false);
    default: return CellValue::Number(0.0);
  }
}

CellValue Arithmetic(Op op, const CellValue& l, const CellValue& r) {
  double x = 0.0, y = 0.0;
  CellValue err;
  if (!ToNumber(l, x, err)) return err;
  if (!ToNumber(r, y, err)) return err;
  switch (op) {
    case Op::kAdd: return NumberResult(x + y);
    case Op::kSub: return NumberResult(x - y);
    case Op::kMul: return NumberResult(x * y);
    case Op::kDiv:
      if (y == 0.0) return CellValue::Error(ErrorCode::kDiv0);
      return NumberResult(x / y);
    case Op::kPow:
      if (x == 0.0 && y == 0.0) return CellValue::Error(ErrorCode::kNum);
      if (x == 0.0 && y < 0.0) return CellValue::Error(ErrorCode::kDiv0);
      return NumberResult(std::pow(x, y));
    default: break;
  }
  return CellValue::Error(ErrorCode::kValue);
}

CellValue Comparison(Op op, const CellValue& l, const CellValue& r) {
  if (l.IsError()) return l;
  if (r.IsError()) return r;
  int c = CompareValues(l, r);
  bool res = false;
  switch (op) {
    case Op::kEq: res = c == 0; break;
    case Op::kNe: res = c != 0; break;
    case Op::kLt: res = c < 0; break;
    case Op::kLe: res = c <= 0; break;
    case Op::kGt: res = c > 0; break;
    case Op::kGe: res = c >= 0; break;
    default: break;
  }
  return CellValue::Boolean(res);
}

}  // namespace

int CompareValues(const CellValue& a0, const CellValue& b0) {
  CellValue a = a0.IsEmpty() ? (b0.IsEmpty() ? CellValue::Number(0) : Neutral(b0)) : a0;
  CellValue b = b0.IsEmpty() ? Neutral(a) : b0;
  int ra = TypeRank(a), rb = TypeRank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  if (ra == 1) return CompareTextNoCase(a.text, b.text);
  if (a.number == b.number) return 0;
  return a.number < b.number ? -1 : 1;
}

bool ToNumber(const CellValue& v, double& out, CellValue& error) {
  switch (v.kind) {
    case ValueKind::kEmpty: out = 0.0; return true;
    case ValueKind::kNumber:
    case ValueKind::kBoolean: out = v.number; return true;
    case ValueKind::kText:
      if (ParseNumberText(v.text, out)) return true;
      error = CellValue::Error(ErrorCode::kValue);
      return false;
    case ValueKind::kError: error = v; return false;
  }
  return false;
}

std::string ToText(const CellValue& v) { return ValueText(v); }

double RoundDecimal(double x, int digits, int mode) {
  if (!std::isfinite(x) || digits > 308) return x;
  if (digits < -308) return 0.0;
  double scale = std::pow(10.0, std::abs(digits));
  double y = digits >= 0 ? x * scale : x / scale;
  if (!std::isfinite(y) || y == 0.0) return digits >= 0 ? x : 0.0 * x;
  // Take y at 15 significant digits so that 2.675*100 = 267.49999999999997 counts as 267.5.
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, y, std::chars_format::general, 15);
  double y15 = y;
  std::from_chars(buf, res.ptr, y15);
  double r;
  if (mode == 0) r = std::round(y15);
  else if (mode > 0) r = y15 < 0 ? -std::ceil(-y15) : std::ceil(y15);
  else r = std::trunc(y15);
  return digits >= 0 ? r / scale : r * scale;
}

CellValue Evaluation::Scalar(const FormulaNode& n) {
  switch (n.kind) {
    case NodeKind::kNumber: return CellValue::Number(n.number);
    case NodeKind::kText: return CellValue::Text(n.text);
    case NodeKind::kBoolean: return CellValue::Boolean(n.number != 0.0);
    case NodeKind::kError: return CellValue::Error(n.error);
    case NodeKind::kMissing: return CellValue::Empty();
    case NodeKind::kRef:
    case NodeKind::kRange: return Deref(Argument(n));
    case NodeKind::kParen: return Scalar(*n.args[0]);
    case NodeKind::kUnary: {
      CellValue v = Scalar(*n.args[0]);
      double x = 0.0;
      CellValue err;
      if (!ToNumber(v, x, err)) return err;
      return CellValue::Number(n.op == Op::kSub ? -x : x);
    }
    case NodeKind::kPercent: {
      double x = 0.0;
      CellValue err;
      if (!ToNumber(Scalar(*n.args[0]), x, err)) return err;
      return CellValue::Number(x / 100.0);
    }
    case NodeKind::kBinary: {
      // Long chains such as 1+1+...+1 nest down the left side: fold them in a loop so the
      // stack stays flat, evaluating left before right at every level as the recursion would.
      std::vector<const FormulaNode*> spine;
      const FormulaNode* left = &n;
      while (left->kind == NodeKind::kBinary) {
        spine.push_back(left);
        left = left->args[0].get();
      }
      CellValue l = Scalar(*left);
      for (auto it = spine.rbegin(); it != spine.rend(); ++it) {
        const FormulaNode& b = **it;
        CellValue r = Scalar(*b.args[1]);
        if (b.op == Op::kConcat) {
          if (l.IsError()) continue;
          l = r.IsError() ? r : CellValue::Text(ToText(l) + ToText(r));
        } else if (b.op >= Op::kEq) {
          l = Comparison(b.op, l, r);
        } else {
          l = Arithmetic(b.op, l, r);
        }
      }
      return l;
    }
    case NodeKind::kFunction: return Call(n);
  }
  return CellValue::Error(ErrorCode::kValue);
}

EvalArg Evaluation::Argument(const FormulaNode& n) {
  const FormulaNode* p = &n;
  while (p->kind == NodeKind::kParen) p = p->args[0].get();
  EvalArg a;
  if (p->kind == NodeKind::kFunction && p->function == kFnIndex && p->args.size() >= 2 &&
      p->args.size() <= 3)
    return IndexReference(*p);
  if (p->kind != NodeKind::kRef && p->kind != NodeKind::kRange) {
    a.value = Scalar(*p);
    return a;
  }
  if (!src.TargetValid(p->target)) {
    a.value = CellValue::Error(ErrorCode::kRef);
    return a;
  }
  a.isRef = true;
  a.target = &p->target;
  a.row1 = p->a.row;
  a.col1 = p->a.col;
  a.row2 = p->kind == NodeKind::kRange ? p->b.row : p->a.row;
  a.col2 = p->kind == NodeKind::kRange ? p->b.col : p->a.col;
  if (p->form == RangeForm::kColumns) a.row1 = 0, a.row2 = kMaxRows - 1;
  if (p->form == RangeForm::kRows) a.col1 = 0, a.col2 = kMaxColumns - 1;
  return a;
}

CellValue Evaluation::Deref(const EvalArg& a) {
  if (!a.isRef) return a.value;
  if (a.row1 == a.row2 && a.col1 == a.col2) return src.CellAt(*a.target, a.row1, a.col1);
  // Implicit intersection with the formula's own row or column.
  if (a.col1 == a.col2 && at.row >= a.row1 && at.row <= a.row2)
    return src.CellAt(*a.target, at.row, a.col1);
  if (a.row1 == a.row2 && at.col >= a.col1 && at.col <= a.col2)
    return src.CellAt(*a.target, a.row1, at.col);
  return CellValue::Error(ErrorCode::kValue);
}

int Evaluation::ClipRow2(const EvalArg& a) {
  if (a.row2 - a.row1 < 4096) return a.row2;
  return std::min(a.row2, std::max(a.row1, src.LastRow(*a.target)));
}

bool Evaluation::NumberArg(const FormulaNode& n, size_t i, double& out, CellValue& err) {
  if (i >= n.args.size()) {
    err = CellValue::Error(ErrorCode::kValue);
    return false;
  }
  return ToNumber(Scalar(*n.args[i]), out, err);
}

CellValue Evaluation::Call(const FormulaNode& n) {
  if (n.function < 0) return CellValue::Error(ErrorCode::kName);
  const FunctionInfo& f = FunctionById(n.function);
  int argc = static_cast<int>(n.args.size());
  if (argc < f.minArgs || argc > f.maxArgs) return CellValue::Error(ErrorCode::kValue);
  switch (n.function) {
    case kFnSum: case kFnAverage: case kFnMin: case kFnMax: case kFnCount: case kFnCountA:
      return Aggregate(n.function, n);
    case kFnIf: case kFnIfError: case kFnAnd: case kFnOr: case kFnNot: case kFnIsBlank:
    case kFnIsNumber: case kFnTrue: case kFnFalse:
      return Logic(n.function, n);
    case kFnConcatenate: case kFnLeft: case kFnRight: case kFnMid: case kFnLen: case kFnUpper:
    case kFnLower: case kFnTrim: case kFnValue:
      return TextFn(n.function, n);
    case kFnVLookup: case kFnIndex: case kFnMatch: case kFnSumProduct:
      return Lookup(n.function, n);
    default:
      return Math(n.function, n);
  }
}

CellValue EvaluateFormula(const FormulaNode& root, EvalSource& source, CellAddr at) {
  Evaluation e(source, at);
  CellValue v = e.Scalar(root);
  if (v.IsEmpty()) return CellValue::Number(0.0);
  if (v.IsNumber() && !std::isfinite(v.number)) return CellValue::Error(ErrorCode::kNum);
  return v;
}

}  // namespace ploxen

// Aggregate, mathematical, logical and text functions of the evaluator.
#include <cmath>
#include <limits>

#include "workbook/EvalInternal.h"
#include "workbook/FormulaFunctions.h"

namespace ploxen {

namespace {

// Running state of SUM/AVERAGE/MIN/MAX/COUNT/COUNTA.
struct Tally {
  double sum = 0.0;
  double min = std::numeric_limits<double>::infinity();
  double max = -std::numeric_limits<double>::infinity();
  long numbers = 0;
  long nonEmpty = 0;
  void Add(double v) {
    sum += v;
    min = std::min(min, v);
    max = std::max(max, v);
    ++numbers;
  }
};

// UTF-8 code point boundaries: byte offset of code point `index` (or size()).
size_t Utf8Offset(const std::string& s, long index) {
  size_t i = 0;
  for (long k = 0; k < index && i < s.size(); ++k) {
    ++i;
    while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80) ++i;
  }
  return i;
}

long Utf8Length(const std::string& s) {
  long n = 0;
  for (unsigned char c : s)
    if ((c & 0xC0) != 0x80) ++n;
  return n;
}

}  // namespace

CellValue Evaluation::Aggregate(int id, const FormulaNode& n) {
  Tally t;
  const bool countOnly = id == kFnCount || id == kFnCountA;
  for (const auto& node : n.args) {
    EvalArg a = Argument(*node);
    if (a.isRef) {
      CellValue err;
      bool failed = false;
      src.ForEachCell(*a.target, a.row1, a.col1, ClipRow2(a), a.col2,
                      [&](int, int, const CellValue& v) {
                        if (failed) return;
                        if (!v.IsEmpty()) ++t.nonEmpty;
                        if (v.IsNumber()) t.Add(v.number);
                        else if (v.IsError() && !countOnly) err = v, failed = true;
                      });
      if (failed) return err;
      continue;
    }
    if (node->kind == NodeKind::kMissing) {
      if (id == kFnSum || id == kFnAverage || id == kFnMin || id == kFnMax) t.Add(0.0);
      continue;
    }
    // A value written directly: booleans and numeric text count as numbers.
    const CellValue& v = a.value;
    ++t.nonEmpty;
    double x = 0.0;
    CellValue err;
    if (ToNumber(v, x, err)) t.Add(x);
    else if (!countOnly) return err;
  }
  switch (id) {
    case kFnSum: return NumberResult(t.sum);
    case kFnAverage:
      if (t.numbers == 0) return CellValue::Error(ErrorCode::kDiv0);
      return NumberResult(t.sum / static_cast<double>(t.numbers));
    case kFnMin: return CellValue::Number(t.numbers ? t.min : 0.0);
    case kFnMax: return CellValue::Number(t.numbers ? t.max : 0.0);
    case kFnCount: return CellValue::Number(static_cast<double>(t.numbers));
    default: return CellValue::Number(static_cast<double>(t.nonEmpty));
  }
}

CellValue Evaluation::Math(int id, const FormulaNode& n) {
  if (id == kFnPi) return CellValue::Number(3.14159265358979323846);
  if (id == kFnNow) return CellValue::Number(src.Now());
  if (id == kFnToday) return CellValue::Number(std::floor(src.Now()));
  double x = 0.0, y = 0.0;
  CellValue err;
  if (!NumberArg(n, 0, x, err)) return err;
  const bool two = id == kFnRound || id == kFnRoundUp || id == kFnRoundDown || id == kFnMod ||
                   id == kFnPower;
  if (two && !NumberArg(n, 1, y, err)) return err;
  switch (id) {
    case kFnAbs: return CellValue::Number(std::fabs(x));
    case kFnRound: return NumberResult(RoundDecimal(x, static_cast<int>(TruncArg(y)), 0));
    case kFnRoundUp: return NumberResult(RoundDecimal(x, static_cast<int>(TruncArg(y)), 1));
    case kFnRoundDown: return NumberResult(RoundDecimal(x, static_cast<int>(TruncArg(y)), -1));
    case kFnInt: return CellValue::Number(std::floor(x));
    case kFnMod: {
      if (y == 0.0) return CellValue::Error(ErrorCode::kDiv0);
      double m = x - y * std::floor(x / y);  // takes the sign of the divisor
      return NumberResult(m);
    }
    case kFnSqrt:
      if (x < 0.0) return CellValue::Error(ErrorCode::kNum);
      return CellValue::Number(std::sqrt(x));
    case kFnPower:
      if (x == 0.0 && y == 0.0) return CellValue::Error(ErrorCode::kNum);
      if (x == 0.0 && y < 0.0) return CellValue::Error(ErrorCode::kDiv0);
      return NumberResult(std::pow(x, y));
    case kFnExp: return NumberResult(std::exp(x));
    case kFnLn:
      if (x <= 0.0) return CellValue::Error(ErrorCode::kNum);
      return CellValue::Number(std::log(x));
    case kFnLog10:
      if (x <= 0.0) return CellValue::Error(ErrorCode::kNum);
      return CellValue::Number(std::log10(x));
    default: break;
  }
  return CellValue::Error(ErrorCode::kName);
}

namespace {

// Boolean of a value for IF/AND/OR/NOT; false with `err` set when there is none.
bool ToBool(const CellValue& v, bool& out, CellValue& err) {
  switch (v.kind) {
    case ValueKind::kEmpty: out = false; return true;
    case ValueKind::kNumber:
    case ValueKind::kBoolean: out = v.number != 0.0; return true;
    case ValueKind::kText: {
      std::string u = v.text;
      for (char& c : u)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
      if (u == "TRUE" || u == "FALSE") {
        out = u == "TRUE";
        return true;
      }
      err = CellValue::Error(ErrorCode::kValue);
      return false;
    }
    case ValueKind::kError: err = v; return false;
  }
  return false;
}

}  // namespace

CellValue Evaluation::Logic(int id, const FormulaNode& n) {
  switch (id) {
    case kFnTrue: return CellValue::Boolean(true);
    case kFnFalse: return CellValue::Boolean(false);
    case kFnIf: {
      bool cond = false;
      CellValue err;
      if (!ToBool(Scalar(*n.args[0]), cond, err)) return err;
      size_t branch = cond ? 1 : 2;
      if (branch >= n.args.size()) return CellValue::Boolean(false);
      if (n.args[branch]->kind == NodeKind::kMissing) return CellValue::Number(0.0);
      return Scalar(*n.args[branch]);
    }
    case kFnIfError: {
      CellValue v = Scalar(*n.args[0]);
      return v.IsError() ? Scalar(*n.args[1]) : v;
    }
    case kFnNot: {
      bool b = false;
      CellValue err;
      if (!ToBool(Scalar(*n.args[0]), b, err)) return err;
      return CellValue::Boolean(!b);
    }
    case kFnIsBlank: {
      EvalArg a = Argument(*n.args[0]);
      return CellValue::Boolean(a.isRef && Deref(a).IsEmpty());
    }
    case kFnIsNumber: return CellValue::Boolean(Scalar(*n.args[0]).IsNumber());
    default: break;
  }
  // AND / OR: references contribute their numbers and booleans, text is skipped.
  bool any = false, result = id == kFnAnd;
  for (const auto& node : n.args) {
    EvalArg a = Argument(*node);
    CellValue err;
    bool failed = false;
    auto take = [&](const CellValue& v) {
      bool b = false;
      if (!ToBool(v, b, err)) {
        failed = true;
        return;
      }
      any = true;
      result = id == kFnAnd ? (result && b) : (result || b);
    };
    if (a.isRef) {
      src.ForEachCell(*a.target, a.row1, a.col1, ClipRow2(a), a.col2,
                      [&](int, int, const CellValue& v) {
                        if (!failed && (v.IsNumber() || v.IsBoolean() || v.IsError())) take(v);
                      });
    } else if (node->kind != NodeKind::kMissing) {
      take(a.value);
    }
    if (failed) return err;
  }
  if (!any) return CellValue::Error(ErrorCode::kValue);
  return CellValue::Boolean(result);
}

CellValue Evaluation::TextFn(int id, const FormulaNode& n) {
  if (id == kFnConcatenate) {
    std::string out;
    for (const auto& node : n.args) {
      CellValue v = Scalar(*node);
      if (v.IsError()) return v;
      out += ToText(v);
    }
    return CellValue::Text(std::move(out));
  }
  CellValue v = Scalar(*n.args[0]);
  if (v.IsError()) return v;
  if (id == kFnValue) {
    if (v.IsNumber()) return v;
    double x = 0.0;
    if (v.IsEmpty()) return CellValue::Number(0.0);
    if (v.IsText() && ParseNumberText(v.text, x)) return CellValue::Number(x);
    return CellValue::Error(ErrorCode::kValue);
  }
  std::string s = ToText(v);
  switch (id) {
    case kFnLen: return CellValue::Number(static_cast<double>(Utf8Length(s)));
    case kFnUpper:
    case kFnLower:
      for (char& c : s) {
        if (id == kFnUpper && c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (id == kFnLower && c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
      }
      return CellValue::Text(std::move(s));
    case kFnTrim: {
      std::string out;
      for (char c : s) {
        if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
        out += c;
      }
      if (!out.empty() && out.back() == ' ') out.pop_back();
      return CellValue::Text(std::move(out));
    }
    default: break;
  }
  // LEFT / RIGHT / MID
  double count = 1.0, start = 1.0;
  CellValue err;
  if (id == kFnMid) {
    if (!NumberArg(n, 1, start, err) || !NumberArg(n, 2, count, err)) return err;
    if (start < 1.0 || count < 0.0) return CellValue::Error(ErrorCode::kValue);
  } else if (n.args.size() > 1) {
    if (!NumberArg(n, 1, count, err)) return err;
    if (count < 0.0) return CellValue::Error(ErrorCode::kValue);
  }
  long len = Utf8Length(s);
  long k = TruncArg(count);
  long first = 0;
  if (id == kFnRight) first = std::max(0L, len - k);
  if (id == kFnMid) first = TruncArg(start) - 1;
  size_t b = Utf8Offset(s, first);
  size_t e = Utf8Offset(s, first + k);
  return CellValue::Text(b < s.size() ? s.substr(b, e - b) : std::string());
}

}  // namespace ploxen

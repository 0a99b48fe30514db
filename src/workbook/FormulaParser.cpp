// Recursive-descent parser of formula text with spreadsheet operator precedence.
//
// Precedence, lowest first: comparisons (= <> < > <= >=), &, + -, * /, ^, prefix + -,
// postfix %. Every binary level is left-associative, so 2^3^2 is (2^3)^2 and -2^2 is (-2)^2.
// References are resolved while parsing: a sheet name becomes a sheet id, a bracketed book
// name an external-link index, and the coordinates are stored absolute with their "$" flags.
#include "workbook/FormulaParser.h"

#include <algorithm>
#include <charconv>

#include "workbook/FormulaFunctions.h"

namespace ploxen {

namespace {

using NodePtr = std::unique_ptr<FormulaNode>;
constexpr int kMaxDepth = 200;
// Longest formula text spreadsheets accept; it also bounds the depth of operator chains,
// which evaluation and printing walk recursively.
constexpr size_t kMaxFormulaLength = 8192;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsAlpha(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'); }
bool IsWordChar(char c) {
  return IsAlpha(c) || IsDigit(c) || c == '_' || c == '.' || c == '$' || c == '\\' ||
         static_cast<unsigned char>(c) >= 0x80;
}
std::string Upper(std::string_view s) {
  std::string u(s);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u;
}

NodePtr MakeNode(NodeKind kind) {
  auto n = std::make_unique<FormulaNode>();
  n->kind = kind;
  return n;
}

// Column part "$AB" / "AB" of a reference.
bool ParseColumnPart(std::string_view w, int& col, bool& abs) {
  bool dollar = !w.empty() && w[0] == '$';
  if (dollar) w.remove_prefix(1);
  int c = ColumnFromLetters(w);
  if (c < 0) return false;
  col = c;
  abs = dollar;
  return true;
}

// Row part "$12" / "12" of a reference.
bool ParseRowPart(std::string_view w, int& row, bool& abs) {
  bool dollar = !w.empty() && w[0] == '$';
  if (dollar) w.remove_prefix(1);
  if (w.empty() || w[0] == '0') return false;
  long v = 0;
  for (char c : w) {
    if (!IsDigit(c)) return false;
    v = v * 10 + (c - '0');
    if (v > kMaxRows) return false;
  }
  row = static_cast<int>(v - 1);
  abs = dollar;
  return true;
}

// One cell corner "$A$1".
bool ParseCorner(std::string_view w, RefCoord& c) {
  size_t i = (!w.empty() && w[0] == '$') ? 1 : 0;
  while (i < w.size() && IsAlpha(w[i])) ++i;
  return i > 0 && ParseColumnPart(w.substr(0, i), c.col, c.colAbs) &&
         ParseRowPart(w.substr(i), c.row, c.rowAbs);
}

class Parser {
 public:
  Parser(std::string_view s, FormulaSyntax syntax, const ParseContext& ctx, ParseResult& res)
      : s_(s), odf_(syntax == FormulaSyntax::kOds), ctx_(ctx), res_(res) {}

  NodePtr Run() {
    SkipBlanks();
    auto root = Comparison();
    SkipBlanks();
    if (!root || !ok_ || p_ != s_.size()) return nullptr;
    return root;
  }

 private:
  char Peek(size_t k = 0) const { return p_ + k < s_.size() ? s_[p_ + k] : '\0'; }
  void SkipBlanks() {
    while (p_ < s_.size() && (s_[p_] == ' ' || s_[p_] == '\n' || s_[p_] == '\r' || s_[p_] == '\t'))
      ++p_;
  }
  NodePtr Fail() {
    ok_ = false;
    return nullptr;
  }
  static NodePtr Binary(Op op, NodePtr l, NodePtr r) {
    auto n = MakeNode(NodeKind::kBinary);
    n->op = op;
    n->args.push_back(std::move(l));
    n->args.push_back(std::move(r));
    return n;
  }

  NodePtr Comparison() {
    auto l = Concat();
    while (l) {
      SkipBlanks();
      Op op;
      size_t len = 1;
      char c = Peek(), d = Peek(1);
      if (c == '<' && d == '=') op = Op::kLe, len = 2;
      else if (c == '<' && d == '>') op = Op::kNe, len = 2;
      else if (c == '>' && d == '=') op = Op::kGe, len = 2;
      else if (c == '<') op = Op::kLt;
      else if (c == '>') op = Op::kGt;
      else if (c == '=') op = Op::kEq;
      else break;
      p_ += len;
      auto r = Concat();
      if (!r) return nullptr;
      l = Binary(op, std::move(l), std::move(r));
    }
    return l;
  }

  NodePtr Concat() {
    auto l = Additive();
    while (l) {
      SkipBlanks();
      if (Peek() != '&') break;
      ++p_;
      auto r = Additive();
      if (!r) return nullptr;
      l = Binary(Op::kConcat, std::move(l), std::move(r));
    }
    return l;
  }

  NodePtr Additive() {
    auto l = Multiplicative();
    while (l) {
      SkipBlanks();
      char c = Peek();
      if (c != '+' && c != '-') break;
      ++p_;
      auto r = Multiplicative();
      if (!r) return nullptr;
      l = Binary(c == '+' ? Op::kAdd : Op::kSub, std::move(l), std::move(r));
    }
    return l;
  }

  NodePtr Multiplicative() {
    auto l = Power();
    while (l) {
      SkipBlanks();
      char c = Peek();
      if (c != '*' && c != '/') break;
      ++p_;
      auto r = Power();
      if (!r) return nullptr;
      l = Binary(c == '*' ? Op::kMul : Op::kDiv, std::move(l), std::move(r));
    }
    return l;
  }

  NodePtr Power() {
    auto l = Unary();
    while (l) {
      SkipBlanks();
      if (Peek() != '^') break;
      ++p_;
      auto r = Unary();
      if (!r) return nullptr;
      l = Binary(Op::kPow, std::move(l), std::move(r));
    }
    return l;
  }

  NodePtr Unary() {
    SkipBlanks();
    char c = Peek();
    if (c != '+' && c != '-') return Postfix();
    if (++depth_ > kMaxDepth) return Fail();
    ++p_;
    auto arg = Unary();
    --depth_;
    if (!arg) return nullptr;
    auto n = MakeNode(NodeKind::kUnary);
    n->op = c == '+' ? Op::kAdd : Op::kSub;
    n->args.push_back(std::move(arg));
    return n;
  }

  NodePtr Postfix() {
    auto n = Primary();
    while (n) {
      SkipBlanks();
      if (Peek() != '%') break;
      ++p_;
      auto pc = MakeNode(NodeKind::kPercent);
      pc->args.push_back(std::move(n));
      n = std::move(pc);
    }
    return n;
  }

  NodePtr Primary() {
    SkipBlanks();
    if (!ok_) return nullptr;
    char c = Peek();
    if (c == '(') return Parenthesised();
    if (c == '"') return StringLiteral();
    if (c == '#') return ErrorLiteral();
    if (IsDigit(c) || (c == '.' && IsDigit(Peek(1)))) return NumberOrRows();
    if (odf_ && c == '[') return OdfReference();
    if (!odf_ && c == '\'') return QuotedSheetReference();
    if (!odf_ && c == '[') return BracketBookReference();
    if (IsWordChar(c)) return Word();
    return Fail();
  }

  NodePtr Parenthesised() {
    if (++depth_ > kMaxDepth) return Fail();
    ++p_;
    auto inner = Comparison();
    --depth_;
    SkipBlanks();
    if (!inner || Peek() != ')') return Fail();
    ++p_;
    auto n = MakeNode(NodeKind::kParen);
    n->args.push_back(std::move(inner));
    return n;
  }

  NodePtr StringLiteral() {
    ++p_;
    std::string text;
    for (;;) {
      if (p_ >= s_.size()) return Fail();
      char c = s_[p_++];
      if (c == '"') {
        if (Peek() != '"') break;
        ++p_;
      }
      text += c;
    }
    auto n = MakeNode(NodeKind::kText);
    n->text = std::move(text);
    return n;
  }

  NodePtr ErrorLiteral() {
    for (ErrorCode e : {ErrorCode::kDiv0, ErrorCode::kNA, ErrorCode::kName, ErrorCode::kNull,
                        ErrorCode::kNum, ErrorCode::kRef, ErrorCode::kValue}) {
      std::string_view t = ErrorCodeText(e);
      if (Upper(s_.substr(p_, t.size())) == t) {
        p_ += t.size();
        auto n = MakeNode(NodeKind::kError);
        n->error = e;
        return n;
      }
    }
    return Fail();
  }

  NodePtr NumberOrRows() {
    size_t start = p_;
    while (IsDigit(Peek())) ++p_;
    if (Peek() == ':' && !odf_) {  // whole rows "1:3"
      p_ = start;
      return Reference(OwnTarget(), ReadWord());
    }
    if (Peek() == '.') {
      ++p_;
      while (IsDigit(Peek())) ++p_;
    }
    if ((Peek() == 'e' || Peek() == 'E') &&
        (IsDigit(Peek(1)) || ((Peek(1) == '+' || Peek(1) == '-') && IsDigit(Peek(2))))) {
      p_ += 2;
      while (IsDigit(Peek())) ++p_;
    }
    double v = 0.0;
    auto res = std::from_chars(s_.data() + start, s_.data() + p_, v);
    if (res.ec != std::errc() || res.ptr != s_.data() + p_) return Fail();
    auto n = MakeNode(NodeKind::kNumber);
    n->number = v;
    return n;
  }

  std::string_view ReadWord() {
    size_t start = p_;
    while (IsWordChar(Peek())) ++p_;
    return s_.substr(start, p_ - start);
  }

  RefTarget OwnTarget() const {
    RefTarget t;
    t.sheetId = ctx_.sheet;
    return t;
  }

  // Target of a sheet named in the text, optionally inside another book.
  bool NamedTarget(std::string_view book, std::string_view sheet, RefTarget& t) {
    t = RefTarget{};
    t.explicitSheet = true;
    if (!book.empty()) {
      bool index = std::all_of(book.begin(), book.end(), IsDigit);
      int link = -1;
      if (index) {
        int n = 0;
        std::from_chars(book.data(), book.data() + book.size(), n);
        link = n - 1;
        res_.indexLinks = true;
      } else if (ctx_.findLink) {
        link = ctx_.findLink(book);
      }
      if (link >= 0) {
        t.link = link;
        t.extSheet = std::string(sheet);
        return true;
      }
      if (link != -2) return false;  // -2: the formula's own book
    }
    t.sheetId = ctx_.findSheet ? ctx_.findSheet(sheet) : 0;
    return t.sheetId != 0;
  }

  // "name" of "'[book]name'" or "'path[book]name'": splits off the book part.
  static void SplitBook(std::string_view full, std::string& book, std::string& sheet) {
    size_t open = full.find('[');
    size_t close = full.rfind(']');
    if (open == std::string_view::npos || close == std::string_view::npos || close < open) {
      sheet = std::string(full);
      return;
    }
    book = std::string(full.substr(0, open)) + std::string(full.substr(open + 1, close - open - 1));
    sheet = std::string(full.substr(close + 1));
  }

  bool ReadQuoted(std::string& out) {
    ++p_;
    for (;;) {
      if (p_ >= s_.size()) return false;
      char c = s_[p_++];
      if (c == '\'') {
        if (Peek() != '\'') return true;
        ++p_;
      }
      out += c;
    }
  }

  NodePtr QuotedSheetReference() {
    std::string full, book, sheet;
    if (!ReadQuoted(full) || Peek() != '!') return Fail();
    ++p_;
    SplitBook(full, book, sheet);
    return AfterSheet(book, sheet);
  }

  NodePtr BracketBookReference() {
    size_t close = s_.find(']', p_);
    if (close == std::string_view::npos) return Fail();
    std::string book(s_.substr(p_ + 1, close - p_ - 1));
    p_ = close + 1;
    std::string_view sheet = ReadWord();
    if (sheet.empty() || Peek() != '!') return Fail();
    ++p_;
    return AfterSheet(book, sheet);
  }

  NodePtr AfterSheet(std::string_view book, std::string_view sheet) {
    if (Peek() == '#') return ErrorLiteral();  // Sheet!#REF!
    RefTarget t;
    if (!NamedTarget(book, sheet, t)) return Fail();
    return Reference(t, ReadWord());
  }

  NodePtr Word() {
    std::string_view w = ReadWord();
    if (w.empty()) return Fail();
    if (Peek() == '(') return Call(w);
    if (Peek() == '!') {
      ++p_;
      return AfterSheet({}, w);
    }
    std::string u = Upper(w);
    if (u == "TRUE" || u == "FALSE") {
      auto n = MakeNode(NodeKind::kBoolean);
      n->number = u == "TRUE" ? 1.0 : 0.0;
      return n;
    }
    return Reference(OwnTarget(), w);
  }

  // Moves a relative coordinate for a shared formula; false when it leaves the sheet.
  bool Shift(RefCoord& c, bool rows, bool cols) const {
    if (rows && !c.rowAbs) c.row += ctx_.shiftRows;
    if (cols && !c.colAbs) c.col += ctx_.shiftCols;
    return c.row >= 0 && c.row < kMaxRows && c.col >= 0 && c.col < kMaxColumns;
  }

  // A reference after its sheet prefix: "A1", "A1:B2", "A:B" or "1:2" (the second part read
  // from the text).
  NodePtr Reference(const RefTarget& t, std::string_view first) {
    RefCoord a, b;
    auto n = MakeNode(NodeKind::kRef);
    n->target = t;
    if (ParseCorner(first, a)) {
      if (Peek() == ':') {
        ++p_;
        if (!ParseCorner(ReadWord(), b)) return Fail();
        n->kind = NodeKind::kRange;
      }
    } else if (Peek() == ':' && ParseColumnPart(first, a.col, a.colAbs)) {
      ++p_;
      if (!ParseColumnPart(ReadWord(), b.col, b.colAbs)) return Fail();
      n->kind = NodeKind::kRange;
      n->form = RangeForm::kColumns;
    } else if (Peek() == ':' && ParseRowPart(first, a.row, a.rowAbs)) {
      ++p_;
      if (!ParseRowPart(ReadWord(), b.row, b.rowAbs)) return Fail();
      n->kind = NodeKind::kRange;
      n->form = RangeForm::kRows;
    } else {
      return Fail();
    }
    return FinishReference(std::move(n), a, b);
  }

  NodePtr FinishReference(NodePtr n, RefCoord a, RefCoord b) {
    bool rows = n->form != RangeForm::kColumns, cols = n->form != RangeForm::kRows;
    if (!Shift(a, rows, cols)) return Fail();
    if (n->kind == NodeKind::kRange) {
      if (!Shift(b, rows, cols)) return Fail();
      if (a.row > b.row) std::swap(a.row, b.row), std::swap(a.rowAbs, b.rowAbs);
      if (a.col > b.col) std::swap(a.col, b.col), std::swap(a.colAbs, b.colAbs);
    }
    n->a = a;
    n->b = b;
    return n;
  }

  NodePtr Call(std::string_view name) {
    if (name.find('$') != std::string_view::npos || ++depth_ > kMaxDepth) return Fail();
    auto n = MakeNode(NodeKind::kFunction);
    n->text = Upper(name);
    std::string_view key = n->text;
    for (std::string_view prefix : {"_XLFN.", "COM.MICROSOFT.", "ORG.OPENOFFICE."})
      if (key.substr(0, prefix.size()) == prefix) key.remove_prefix(prefix.size());
    const FunctionInfo* f = FindFunction(key);
    if (f) {
      n->function = f->id;
      res_.isVolatile |= f->isVolatile;
    } else {
      res_.unknownFunction = true;
    }
    ++p_;  // '('
    SkipBlanks();
    const char sep = odf_ ? ';' : ',';
    if (Peek() == ')') {
      ++p_;
      --depth_;
      return n;
    }
    for (;;) {
      SkipBlanks();
      if (Peek() == sep || Peek() == ')') {
        n->args.push_back(MakeNode(NodeKind::kMissing));
      } else {
        auto arg = Comparison();
        if (!arg) return Fail();
        n->args.push_back(std::move(arg));
      }
      SkipBlanks();
      if (Peek() == sep) {
        ++p_;
        continue;
      }
      if (Peek() != ')') return Fail();
      ++p_;
      break;
    }
    --depth_;
    return n;
  }

  // OpenDocument reference "[.A1]", "[$Sheet.A1:.B2]", "['file:///x.ods'#$S.A1]", "[.A:.B]".
  NodePtr OdfReference() {
    size_t start = ++p_;
    bool quoted = false;
    while (p_ < s_.size() && (quoted || s_[p_] != ']')) {
      if (s_[p_] == '\'') quoted = !quoted;
      ++p_;
    }
    if (p_ >= s_.size()) return Fail();
    std::string_view body = s_.substr(start, p_ - start);
    ++p_;
    size_t colon = SplitOutsideQuotes(body, ':');
    std::string_view first = body.substr(0, colon);
    std::string_view second = colon == std::string_view::npos ? std::string_view{}
                                                              : body.substr(colon + 1);
    RefTarget t;
    std::string_view coord1;
    if (!OdfTarget(first, t, coord1)) return ok_ ? Fail() : nullptr;
    if (coord1 == "#REF!" || coord1.empty()) {
      auto e = MakeNode(NodeKind::kError);
      e->error = ErrorCode::kRef;
      return e;
    }
    auto n = MakeNode(NodeKind::kRef);
    n->target = t;
    RefCoord a, b;
    if (second.empty()) {
      if (!ParseCorner(coord1, a)) return Fail();
      return FinishReference(std::move(n), a, b);
    }
    RefTarget t2;
    std::string_view coord2;
    if (!OdfTarget(second, t2, coord2)) return Fail();
    n->kind = NodeKind::kRange;
    if (ParseCorner(coord1, a) && ParseCorner(coord2, b)) {
    } else if (ParseColumnPart(coord1, a.col, a.colAbs) &&
               ParseColumnPart(coord2, b.col, b.colAbs)) {
      n->form = RangeForm::kColumns;
    } else if (ParseRowPart(coord1, a.row, a.rowAbs) && ParseRowPart(coord2, b.row, b.rowAbs)) {
      n->form = RangeForm::kRows;
    } else {
      return Fail();
    }
    return FinishReference(std::move(n), a, b);
  }

  static size_t SplitOutsideQuotes(std::string_view s, char sep) {
    bool quoted = false;
    for (size_t i = 0; i < s.size(); ++i) {
      if (s[i] == '\'') quoted = !quoted;
      else if (!quoted && s[i] == sep) return i;
    }
    return std::string_view::npos;
  }

  // One side of an OpenDocument reference: optional book and sheet, then "." and the cell.
  bool OdfTarget(std::string_view part, RefTarget& t, std::string_view& coord) {
    std::string book, sheet;
    size_t i = 0;
    if (part.size() > 1 && part[0] == '\'') {
      // A quoted book target ends at the quote before "#"; '' inside stands for one quote.
      std::string quoted;
      size_t j = 1;
      for (; j < part.size(); ++j) {
        if (part[j] != '\'') {
          quoted += part[j];
        } else if (j + 1 < part.size() && part[j + 1] == '\'') {
          quoted += '\'';
          ++j;
        } else {
          break;
        }
      }
      if (j + 1 < part.size() && part[j + 1] == '#') {
        book = std::move(quoted);
        i = j + 2;
      }
    }
    if (i < part.size() && part[i] == '$') ++i;
    if (i < part.size() && part[i] == '\'') {
      size_t j = i + 1;
      for (; j < part.size(); ++j) {
        if (part[j] == '\'') {
          if (j + 1 < part.size() && part[j + 1] == '\'') {
            sheet += '\'';
            ++j;
            continue;
          }
          break;
        }
        sheet += part[j];
      }
      i = j + 1;
    } else {
      size_t dot = part.find('.', i);
      if (dot == std::string_view::npos) return false;
      sheet = std::string(part.substr(i, dot - i));
      i = dot;
    }
    if (i >= part.size() || part[i] != '.') return false;
    coord = part.substr(i + 1);
    if (sheet.empty() && book.empty()) {
      t = OwnTarget();
      return true;
    }
    if (sheet == "#REF!") {
      coord = "#REF!";
      return true;
    }
    return NamedTarget(book, sheet, t);
  }

  std::string_view s_;
  bool odf_;
  const ParseContext& ctx_;
  ParseResult& res_;
  size_t p_ = 0;
  bool ok_ = true;
  int depth_ = 0;
};

}  // namespace

ParseResult ParseFormula(std::string_view text, FormulaSyntax syntax, const ParseContext& ctx) {
  ParseResult res;
  if (syntax == FormulaSyntax::kOds && text.substr(0, 3) == "of:") text.remove_prefix(3);
  if (!text.empty() && text[0] == '=') text.remove_prefix(1);
  if (text.empty() || text.size() > kMaxFormulaLength) return res;
  Parser parser(text, syntax, ctx, res);
  res.tree = parser.Run();
  return res;
}

}  // namespace ploxen

// Formula tree back to text, in the A1 (xlsx) or the OpenDocument syntax.
#include <charconv>
#include <vector>

#include "workbook/FormulaParser.h"

namespace ploxen {

namespace {

bool IsPlainName(std::string_view name) {
  if (name.empty()) return false;
  char f = name[0];
  if (!((f >= 'A' && f <= 'Z') || (f >= 'a' && f <= 'z') || f == '_')) return false;
  for (char c : name) {
    bool ok = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
              c == '_';
    if (!ok) return false;
  }
  CellAddr addr;
  if (ParseA1(name, addr)) return false;
  if ((f == 'R' || f == 'r' || f == 'C' || f == 'c') && name.size() > 1 && name[1] >= '0' &&
      name[1] <= '9')
    return false;
  std::string u(name);
  for (char& c : u)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return u != "TRUE" && u != "FALSE";
}

std::string Quote(std::string_view s) {
  std::string q = "'";
  for (char c : s) {
    if (c == '\'') q += '\'';
    q += c;
  }
  q += '\'';
  return q;
}

std::string LiteralNumber(double v) {
  char buf[64];
  auto res = std::to_chars(buf, buf + sizeof buf, v);
  std::string s(buf, res.ptr);
  for (char& c : s)
    if (c == 'e') c = 'E';
  return s;
}

std::string_view OpText(Op op) {
  switch (op) {
    case Op::kAdd: return "+";
    case Op::kSub: return "-";
    case Op::kMul: return "*";
    case Op::kDiv: return "/";
    case Op::kPow: return "^";
    case Op::kConcat: return "&";
    case Op::kEq: return "=";
    case Op::kNe: return "<>";
    case Op::kLt: return "<";
    case Op::kLe: return "<=";
    case Op::kGt: return ">";
    case Op::kGe: return ">=";
  }
  return "?";
}

class Printer {
 public:
  Printer(FormulaSyntax syntax, const PrintContext& ctx)
      : odf_(syntax == FormulaSyntax::kOds), ctx_(ctx) {}

  // A chain such as 1+1+...+1 nests thousands of binary nodes down its left side; walking that
  // side in a loop keeps the stack flat however long the chain is.
  void PrintChain(const FormulaNode& n, std::string& out) const {
    std::vector<const FormulaNode*> spine;
    const FormulaNode* left = &n;
    while (left->kind == NodeKind::kBinary) {
      spine.push_back(left);
      left = left->args[0].get();
    }
    Print(*left, out);
    for (auto it = spine.rbegin(); it != spine.rend(); ++it) {
      out += OpText((*it)->op);
      Print(*(*it)->args[1], out);
    }
  }

  void Print(const FormulaNode& n, std::string& out) const {
    switch (n.kind) {
      case NodeKind::kNumber: out += LiteralNumber(n.number); break;
      case NodeKind::kText:
        out += '"';
        for (char c : n.text) {
          if (c == '"') out += '"';
          out += c;
        }
        out += '"';
        break;
      case NodeKind::kBoolean:
        out += n.number != 0.0 ? "TRUE" : "FALSE";
        if (odf_) out += "()";
        break;
      case NodeKind::kError: out += ErrorCodeText(n.error); break;
      case NodeKind::kRef:
      case NodeKind::kRange: odf_ ? OdfRef(n, out) : A1Ref(n, out); break;
      case NodeKind::kUnary:
        out += n.op == Op::kSub ? "-" : "+";
        Print(*n.args[0], out);
        break;
      case NodeKind::kPercent:
        Print(*n.args[0], out);
        out += '%';
        break;
      case NodeKind::kBinary: PrintChain(n, out); break;
      case NodeKind::kParen:
        out += '(';
        Print(*n.args[0], out);
        out += ')';
        break;
      case NodeKind::kFunction:
        out += n.text;
        out += '(';
        for (size_t i = 0; i < n.args.size(); ++i) {
          if (i) out += odf_ ? ';' : ',';
          Print(*n.args[i], out);
        }
        out += ')';
        break;
      case NodeKind::kMissing: break;
    }
  }

 private:
  // A link the book's table does not hold (a file's "[5]" beyond its link parts) keeps its
  // number, so that the text still says what the file said.
  std::string LinkName(int link, bool target) const {
    std::string name = ctx_.linkName ? ctx_.linkName(link, target) : std::string();
    return name.empty() ? std::to_string(link + 1) : name;
  }

  std::string SheetName(const RefTarget& t) const {
    if (t.link >= 0) return t.extSheet;
    return ctx_.sheetName ? ctx_.sheetName(t.sheetId) : std::string();
  }

  static void Corner(const RefCoord& c, RangeForm form, std::string& out) {
    if (form == RangeForm::kColumns) {
      if (c.colAbs) out += '$';
      out += ColumnLetters(c.col);
    } else if (form == RangeForm::kRows) {
      if (c.rowAbs) out += '$';
      out += std::to_string(c.row + 1);
    } else {
      out += A1Text(c.row, c.col, c.rowAbs, c.colAbs);
    }
  }

  void A1Ref(const FormulaNode& n, std::string& out) const {
    const RefTarget& t = n.target;
    if (t.link >= 0) {
      std::string book = LinkName(t.link, false);
      std::string full = "[";
      full += book;
      full += ']';
      full += t.extSheet;
      out += Quote(full);
      out += '!';
    } else if (t.explicitSheet || t.sheetId != ctx_.sheet) {
      out += QuoteSheetName(SheetName(t));
      out += '!';
    }
    Corner(n.a, n.form, out);
    if (n.kind == NodeKind::kRange) {
      out += ':';
      Corner(n.b, n.form, out);
    }
  }

  void OdfRef(const FormulaNode& n, std::string& out) const {
    const RefTarget& t = n.target;
    out += '[';
    if (t.link >= 0) {
      std::string target = LinkName(t.link, true);
      out += Quote(target);
      out += "#$";
      out += Quote(t.extSheet);
    } else if (t.explicitSheet || t.sheetId != ctx_.sheet) {
      std::string name = SheetName(t);
      out += '$';
      out += IsPlainName(name) ? name : Quote(name);
    }
    out += '.';
    Corner(n.a, n.form, out);
    if (n.kind == NodeKind::kRange) {
      out += ":.";
      Corner(n.b, n.form, out);
    }
    out += ']';
  }

  bool odf_;
  const PrintContext& ctx_;
};

}  // namespace

std::string QuoteSheetName(std::string_view name) {
  return IsPlainName(name) ? std::string(name) : Quote(name);
}

std::string PrintFormula(const FormulaNode& tree, FormulaSyntax syntax, const PrintContext& ctx) {
  std::string out;
  Printer(syntax, ctx).Print(tree, out);
  return out;
}

}  // namespace ploxen

// Formula text to formula tree, for the A1 (xlsx) and the OpenDocument syntax.
#pragma once

#include <functional>
#include <memory>
#include <string_view>

#include "workbook/EngineModel.h"
#include "workbook/FormulaTree.h"

namespace ploxen {

/// What the parser needs to know about the place of a formula.
struct ParseContext {
  SheetId sheet = 0;  ///< sheet of the formula's cell; plain references point here
  int shiftRows = 0;  ///< relative references move by this many rows (shared formulas)
  int shiftCols = 0;  ///< ... and columns
  /// Sheet of the formula's book by name (ignoring case); 0 when there is none.
  std::function<SheetId(std::string_view)> findSheet;
  /// External link index for a book named in brackets ("Other.xlsx", or a path/URL); appends
  /// a link when needed; -2 when the name is the formula's own book; -1 to refuse.
  std::function<int(std::string_view)> findLink;
};

/// Result of parsing one formula.
struct ParseResult {
  std::unique_ptr<FormulaNode> tree;  ///< null when the text is not a formula we understand
  bool unknownFunction = false;       ///< calls a function that is not built in
  bool isVolatile = false;            ///< calls NOW or TODAY
  bool indexLinks = false;            ///< names another book by "[n]" index
};

/// Parses formula text (leading "=", "of:" accepted). Never throws; nesting deeper than a
/// few hundred levels, array constants, intersections, unions, 3-D references and names
/// make the text unparsable.
ParseResult ParseFormula(std::string_view text, FormulaSyntax syntax, const ParseContext& ctx);

/// What the printer needs to turn sheet ids and link indices back into names.
struct PrintContext {
  SheetId sheet = 0;  ///< sheet of the formula's cell
  std::function<std::string(SheetId)> sheetName;
  /// File name of external link `index` ("Other.xlsx") and, for OpenDocument, its target.
  std::function<std::string(int, bool target)> linkName;
};

/// Formula text of a tree without the leading "=": A1 form "SUM('gas.1'!A1:B2,1)" or
/// OpenDocument form "SUM([$'gas.1'.A1:.B2];1)".
std::string PrintFormula(const FormulaNode& tree, FormulaSyntax syntax, const PrintContext& ctx);

/// A sheet name as a reference prefix needs it: quoted (with '' for ') unless it is a plain
/// word that cannot be read as a cell address.
std::string QuoteSheetName(std::string_view name);

}  // namespace ploxen

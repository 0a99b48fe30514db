// Cells of the office's sheets: blocks read and written in one call each, formulas through the
// document's parser in the A1 grammar with "," separators, numbers independent of the
// office's locale, texts kept as texts; the last used cell and inserted rows.
#include <com/sun/star/beans/XPropertySet.hpp>
#include <com/sun/star/lang/DisposedException.hpp>
#include <com/sun/star/lang/XMultiServiceFactory.hpp>
#include <com/sun/star/sheet/AddressConvention.hpp>
#include <com/sun/star/sheet/FormulaLanguage.hpp>
#include <com/sun/star/sheet/FormulaMapGroup.hpp>
#include <com/sun/star/sheet/XCellRangeAddressable.hpp>
#include <com/sun/star/sheet/XCellRangeData.hpp>
#include <com/sun/star/sheet/XFormulaOpCodeMapper.hpp>
#include <com/sun/star/sheet/XFormulaTokens.hpp>
#include <com/sun/star/sheet/XSheetCellCursor.hpp>
#include <com/sun/star/sheet/XUsedAreaCursor.hpp>
#include <com/sun/star/table/CellAddress.hpp>
#include <com/sun/star/table/XCell.hpp>
#include <com/sun/star/table/XColumnRowRange.hpp>
#include <com/sun/star/table/XTableRows.hpp>
#include <com/sun/star/text/XText.hpp>

#include "workbook/CellValue.h"
#include "workbook/UnoImpl.h"

namespace ploxen {

using namespace uno;

namespace {

/// The spreadsheet error text of an office error code.
std::string ErrorText(sal_Int32 code) {
  switch (code) {
    case 532:
      return "#DIV/0!";
    case 519:
      return "#VALUE!";
    case 524:
      return "#REF!";
    case 525:
      return "#NAME?";
    case 503:
      return "#NUM!";
    case 521:
      return "#NULL!";
    case 32767:
      return "#N/A";
    default:
      return "Err:" + std::to_string(code);
  }
}

}  // namespace

/// The document's parser for formulas in the A1 grammar with "," separators, made once.
Reference<css::sheet::XFormulaParser> UnoServer::Impl::ParserOf(BookEntry& entry) {
  if (entry.parser.is()) return entry.parser;
  Reference<css::lang::XMultiServiceFactory> factory(entry.doc, UNO_QUERY_THROW);
  Reference<css::sheet::XFormulaParser> parser(
      factory->createInstance("com.sun.star.sheet.FormulaParser"), UNO_QUERY_THROW);
  Reference<css::sheet::XFormulaOpCodeMapper> mapper(
      factory->createInstance("com.sun.star.sheet.FormulaOpCodeMapper"), UNO_QUERY_THROW);
  Reference<css::beans::XPropertySet> props(parser, UNO_QUERY_THROW);
  props->setPropertyValue("FormulaConvention", Any(css::sheet::AddressConvention::XL_OOX));
  props->setPropertyValue("OpCodeMap", Any(mapper->getAvailableMappings(
                                           css::sheet::FormulaLanguage::OOXML,
                                           css::sheet::FormulaMapGroup::ALL_EXCEPT_SPECIAL)));
  entry.parser = parser;
  return parser;
}

Reference<css::table::XCellRange> UnoServer::Impl::RangeOf(SheetEntry& s, const CellBlock& block) {
  return s.sheet->getCellRangeByPosition(block.column - 1, block.row - 1,
                                         block.column + block.columns - 2,
                                         block.row + block.rows - 2);
}

bool UnoServer::Impl::ReadBlock(SheetEntry& s, const CellBlock& block,
                                std::vector<std::string>& texts) {
  texts.clear();
  if (block.rows <= 0 || block.columns <= 0) return Ok();
  if (block.row < 1 || block.column < 1)
    return Fail(ServerError::kBadAddress, "cell outside the sheet");
  Reference<css::table::XCellRange> range = RangeOf(s, block);
  Sequence<Sequence<Any>> data =
      Reference<css::sheet::XCellRangeData>(range, UNO_QUERY_THROW)->getDataArray();
  texts.reserve(static_cast<std::size_t>(block.Size()));
  for (sal_Int32 r = 0; r < data.getLength(); ++r) {
    const Sequence<Any>& row = data[r];
    for (sal_Int32 c = 0; c < row.getLength(); ++c) {
      double number = 0.0;
      OUString text;
      if (row[c] >>= number)
        texts.push_back(NumberText(number));
      else if (row[c] >>= text)
        texts.push_back(FromOu(text));
      else  // an error value
        texts.push_back(ErrorText(range->getCellByPosition(c, r)->getError()));
    }
  }
  return Ok();
}

void UnoServer::Impl::WriteData(SheetEntry& s, int row, int column,
                                const Sequence<Sequence<Any>>& data) {
  sal_Int32 rows = data.getLength();
  sal_Int32 columns = rows > 0 ? data[0].getLength() : 0;
  if (rows == 0 || columns == 0) return;
  Reference<css::table::XCellRange> range =
      s.sheet->getCellRangeByPosition(column - 1, row - 1, column + columns - 2, row + rows - 2);
  Reference<css::sheet::XCellRangeData>(range, UNO_QUERY_THROW)->setDataArray(data);
}

/// Numbers and texts go in as values (one call per block, or per run of filled cells with
/// `skipEmpty`), so the office never re-reads a text as a date or number; formulas and
/// booleans follow cell by cell.
void UnoServer::Impl::WriteBlock(SheetEntry& s, const CellBlock& block,
                                 const std::vector<std::string>& texts, bool skipEmpty) {
  std::vector<CellInput> inputs;
  inputs.reserve(texts.size());
  for (const std::string& t : texts) inputs.push_back(ReadCellInput(t));
  auto value = [&](const CellInput& in) {
    if (in.kind == CellInput::Kind::kNumber) return Any(in.number);
    if (in.kind == CellInput::Kind::kText) return Any(ToOu(in.text));
    if (in.kind == CellInput::Kind::kError) return Any(ToOu(std::string(ErrorCodeText(in.error))));
    return Any(OUString());
  };
  auto at = [&](int r, int c) -> const CellInput& {
    return inputs[static_cast<std::size_t>(r * block.columns + c)];
  };
  bool anyEmpty = false;
  for (const CellInput& in : inputs) anyEmpty = anyEmpty || in.kind == CellInput::Kind::kEmpty;
  if (!skipEmpty || !anyEmpty) {
    Sequence<Sequence<Any>> data(block.rows);
    for (int r = 0; r < block.rows; ++r) {
      Sequence<Any> row(block.columns);
      for (int c = 0; c < block.columns; ++c) row[c] = value(at(r, c));
      data[r] = row;
    }
    WriteData(s, block.row, block.column, data);
  } else {
    // Runs of filled cells along the block's longer side, each one call.
    bool down = block.columns == 1;
    int lines = down ? 1 : block.rows;
    int length = down ? block.rows : block.columns;
    for (int line = 0; line < lines; ++line) {
      for (int i = 0; i < length;) {
        auto in = [&](int k) -> const CellInput& { return down ? at(k, 0) : at(line, k); };
        if (in(i).kind == CellInput::Kind::kEmpty) {
          ++i;
          continue;
        }
        int j = i;
        while (j < length && in(j).kind != CellInput::Kind::kEmpty) ++j;
        Sequence<Sequence<Any>> data(down ? j - i : 1);
        if (down) {
          for (int k = i; k < j; ++k) {
            Sequence<Any> one(1);
            one[0] = value(in(k));
            data[k - i] = one;
          }
          WriteData(s, block.row + i, block.column, data);
        } else {
          Sequence<Any> row(j - i);
          for (int k = i; k < j; ++k) row[k - i] = value(in(k));
          data[0] = row;
          WriteData(s, block.row + line, block.column + i, data);
        }
        i = j;
      }
    }
  }
  sal_Int16 sheetIndex = -1;
  for (int r = 0; r < block.rows; ++r) {
    for (int c = 0; c < block.columns; ++c) {
      const CellInput& in = at(r, c);
      if (in.kind != CellInput::Kind::kFormula && in.kind != CellInput::Kind::kBoolean) continue;
      Reference<css::table::XCell> cell =
          s.sheet->getCellByPosition(block.column - 1 + c, block.row - 1 + r);
      if (in.kind == CellInput::Kind::kBoolean) {
        cell->setFormula(in.number != 0.0 ? OUString("TRUE") : OUString("FALSE"));
        continue;
      }
      if (sheetIndex < 0)
        sheetIndex = s.address->getRangeAddress().Sheet;
      BookEntry* book = BookOf(s.book);
      if (!book) throw css::lang::DisposedException("the workbook was closed");
      css::table::CellAddress where(sheetIndex, block.column - 1 + c, block.row - 1 + r);
      Sequence<css::sheet::FormulaToken> tokens =
          ParserOf(*book)->parseFormula(ToOu(in.text.substr(1)), where);
      Reference<css::sheet::XFormulaTokens>(cell, UNO_QUERY_THROW)->setTokens(tokens);
    }
  }
}

bool UnoServer::CellValue(SheetHandle sheet, int row, int column, std::string& text) {
  std::vector<std::string> texts;
  if (!RangeValues(sheet, CellBlock{row, column, 1, 1}, texts)) return false;
  text = texts.empty() ? std::string() : texts.front();
  return true;
}

bool UnoServer::CellText(SheetHandle sheet, int row, int column, std::string& text) {
  std::vector<std::string> texts;
  if (!RangeTexts(sheet, CellBlock{row, column, 1, 1}, texts)) return false;
  text = texts.empty() ? std::string() : texts.front();
  return true;
}

bool UnoServer::SetCellValue(SheetHandle sheet, int row, int column, const std::string& text) {
  return SetRangeValues(sheet, CellBlock{row, column, 1, 1}, {text}, false);
}

bool UnoServer::RangeValues(SheetHandle sheet, const CellBlock& block,
                            std::vector<std::string>& texts) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    return s && impl_->ReadBlock(*s, block, texts);
  });
}

bool UnoServer::RangeTexts(SheetHandle sheet, const CellBlock& block,
                           std::vector<std::string>& texts) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    texts.clear();
    if (block.row < 1 || block.column < 1)
      return impl_->Fail(ServerError::kBadAddress, "cell outside the sheet");
    if (block.rows <= 0 || block.columns <= 0) return impl_->Ok();
    // The displayed text has no block call. A text cell displays its text and an empty cell
    // nothing, which one read of the block's data tells; numbers (their format decides the
    // text) and errors are asked for one cell at a time.
    Reference<css::table::XCellRange> range = impl_->RangeOf(*s, block);
    const Sequence<Sequence<Any>> data =
        Reference<css::sheet::XCellRangeData>(range, UNO_QUERY_THROW)->getDataArray();
    texts.reserve(static_cast<std::size_t>(block.Size()));
    for (sal_Int32 r = 0; r < block.rows; ++r) {
      for (sal_Int32 c = 0; c < block.columns; ++c) {
        OUString text;
        const bool known = r < data.getLength() && c < data[r].getLength() && (data[r][c] >>= text);
        if (!known) {
          text = Reference<css::text::XText>(range->getCellByPosition(c, r), UNO_QUERY_THROW)
                     ->getString();
        }
        texts.push_back(FromOu(text));
      }
    }
    return impl_->Ok();
  });
}

bool UnoServer::SetRangeValues(SheetHandle sheet, const CellBlock& block,
                               const std::vector<std::string>& texts, bool skipEmpty) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    if (block.rows < 0 || block.columns < 0 ||
        texts.size() != static_cast<std::size_t>(block.Size()))
      return impl_->Fail(ServerError::kBadAddress, "the texts do not fill the block");
    if (block.Size() == 0) return impl_->Ok();
    if (block.row < 1 || block.column < 1)
      return impl_->Fail(ServerError::kBadAddress, "cell outside the sheet");
    impl_->WriteBlock(*s, block, texts, skipEmpty);
    return impl_->Ok();
  });
}

bool UnoServer::LastCell(SheetHandle sheet, int& row, int& column) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    if (!s->usedArea.is()) {
      Reference<css::sheet::XSheetCellCursor> cursor = s->sheet->createCursor();
      s->usedArea.set(cursor, UNO_QUERY_THROW);
      s->usedAddress.set(cursor, UNO_QUERY_THROW);
    }
    s->usedArea->gotoEndOfUsedArea(false);
    css::table::CellRangeAddress a = s->usedAddress->getRangeAddress();
    row = static_cast<int>(a.EndRow) + 1;
    column = static_cast<int>(a.EndColumn) + 1;
    return impl_->Ok();
  });
}

bool UnoServer::InsertRow(SheetHandle sheet, int row) {
  return impl_->Run(impl_->callTimeout, [&] {
    SheetEntry* s = impl_->SheetOf(sheet);
    if (!s) return false;
    if (row < 1) return impl_->Fail(ServerError::kBadAddress, "row outside the sheet");
    Reference<css::table::XColumnRowRange>(s->sheet, UNO_QUERY_THROW)
        ->getRows()
        ->insertByIndex(row - 1, 1);
    return impl_->Ok();
  });
}

}  // namespace ploxen

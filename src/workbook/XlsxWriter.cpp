// Writing a book as .xlsx with libxlsxwriter: values, formulas with cached results, formats,
// column widths, row heights and merged ranges.
#include <unistd.h>
#include <xlsxwriter.h>

#include <vector>

#include "workbook/BookWriter.h"

namespace ploxen {

namespace {

uint8_t LxwBorder(BorderLine line) {
  switch (line) {
    case BorderLine::kThin:
      return LXW_BORDER_THIN;
    case BorderLine::kMedium:
      return LXW_BORDER_MEDIUM;
    case BorderLine::kThick:
      return LXW_BORDER_THICK;
    case BorderLine::kDashed:
      return LXW_BORDER_DASHED;
    case BorderLine::kDotted:
      return LXW_BORDER_DOTTED;
    case BorderLine::kDouble:
      return LXW_BORDER_DOUBLE;
    default:
      return LXW_BORDER_NONE;
  }
}

/// The libxlsxwriter format of a CellFormat; null for the default format.
lxw_format* MakeFormat(lxw_workbook* wb, const CellFormat& f) {
  if (f.IsDefault()) return nullptr;
  lxw_format* x = workbook_add_format(wb);
  if (f.bold) format_set_bold(x);
  if (f.italic) format_set_italic(x);
  if (f.underline) format_set_underline(x, LXW_UNDERLINE_SINGLE);
  if (f.strikeout) format_set_font_strikeout(x);
  if (!f.fontName.empty()) format_set_font_name(x, f.fontName.c_str());
  if (f.fontSizePt > 0) format_set_font_size(x, f.fontSizePt);
  if (f.fontColour != kAutoColour) format_set_font_color(x, f.fontColour);
  if (f.fillColour != kAutoColour) {
    format_set_pattern(x, LXW_PATTERN_SOLID);
    format_set_bg_color(x, f.fillColour);
  }
  switch (f.hAlign) {
    case HAlign::kLeft:
      format_set_align(x, LXW_ALIGN_LEFT);
      break;
    case HAlign::kCenter:
      format_set_align(x, LXW_ALIGN_CENTER);
      break;
    case HAlign::kRight:
      format_set_align(x, LXW_ALIGN_RIGHT);
      break;
    case HAlign::kJustify:
      format_set_align(x, LXW_ALIGN_JUSTIFY);
      break;
    default:
      break;
  }
  switch (f.vAlign) {
    case VAlign::kTop:
      format_set_align(x, LXW_ALIGN_VERTICAL_TOP);
      break;
    case VAlign::kCenter:
      format_set_align(x, LXW_ALIGN_VERTICAL_CENTER);
      break;
    case VAlign::kBottom:
      format_set_align(x, LXW_ALIGN_VERTICAL_BOTTOM);
      break;
    default:
      break;
  }
  if (f.wrap) format_set_text_wrap(x);
  if (!f.numberFormat.empty()) format_set_num_format(x, f.numberFormat.c_str());
  format_set_left(x, LxwBorder(f.borders[0]));
  format_set_right(x, LxwBorder(f.borders[1]));
  format_set_top(x, LxwBorder(f.borders[2]));
  format_set_bottom(x, LxwBorder(f.borders[3]));
  if (f.borderColour != kAutoColour) format_set_border_color(x, f.borderColour);
  return x;
}

/// Writes one cell; returns the library's error code.
lxw_error WriteCell(WorkbookEngine& engine, lxw_worksheet* ws, SheetId sheet, int row, int col,
                    const Cell& cell, lxw_format* fmt) {
  if (cell.formula) {
    std::string text = engine.FormulaText(sheet, row, col, FormulaSyntax::kA1);
    CellValue v = engine.Value(sheet, row, col);
    switch (v.kind) {
      case ValueKind::kNumber:
        return worksheet_write_formula_num(ws, row, col, text.c_str(), fmt, v.number);
      case ValueKind::kEmpty:
        return worksheet_write_formula_num(ws, row, col, text.c_str(), fmt, 0.0);
      default:  // text, and booleans/errors as the text they show
        return worksheet_write_formula_str(ws, row, col, text.c_str(), fmt, ValueText(v).c_str());
    }
  }
  const CellValue& v = cell.value;
  switch (v.kind) {
    case ValueKind::kNumber:
      return worksheet_write_number(ws, row, col, v.number, fmt);
    case ValueKind::kText:
      return worksheet_write_string(ws, row, col, v.text.c_str(), fmt);
    case ValueKind::kBoolean:
      return worksheet_write_boolean(ws, row, col, v.number != 0, fmt);
    case ValueKind::kError: {
      std::string code(ErrorCodeText(v.error));
      return worksheet_write_formula_str(ws, row, col, ("=" + code).c_str(), fmt, code.c_str());
    }
    default:
      return fmt ? worksheet_write_blank(ws, row, col, fmt) : LXW_NO_ERROR;
  }
}

}  // namespace

bool WriteXlsx(WorkbookEngine& engine, Book& book, const std::string& path, std::string& error) {
  // The library keeps each sheet in a scratch file until it zips them: in memory-backed
  // /dev/shm when the machine has it, else the system's temporary folder.
  lxw_workbook_options options{};
  std::string scratch = "/dev/shm";
  if (::access(scratch.c_str(), W_OK) == 0) options.tmpdir = scratch.data();
  lxw_workbook* wb = workbook_new_opt(path.c_str(), &options);
  if (!wb) {
    error = "the file cannot be created";
    return false;
  }
  std::vector<lxw_format*> formats(book.formats.size(), nullptr);
  for (std::size_t i = 1; i < book.formats.size(); ++i)
    formats[i] = MakeFormat(wb, book.formats[i]);
  auto formatOf = [&](int index) {
    return index > 0 && index < static_cast<int>(formats.size()) ? formats[index] : nullptr;
  };
  lxw_error status = LXW_NO_ERROR;
  for (int s = 0; s < book.SheetCount() && status == LXW_NO_ERROR; ++s) {
    Sheet& sheet = book.SheetAt(s);
    lxw_worksheet* ws = workbook_add_worksheet(wb, sheet.Name().c_str());
    if (!ws) {
      error = "sheet name " + sheet.Name() + " cannot be written";
      status = LXW_ERROR_PARAMETER_VALIDATION;
      break;
    }
    if (s == book.activeSheet) worksheet_activate(ws);
    for (const auto& [col, width] : sheet.columnWidths)
      worksheet_set_column(ws, col, col, width, nullptr);
    for (const auto& [row, height] : sheet.rowHeights) worksheet_set_row(ws, row, height, nullptr);
    for (const MergedRange& m : sheet.merges) {
      const Cell* first = sheet.Find(m.firstRow, m.firstColumn);
      worksheet_merge_range(ws, m.firstRow, m.firstColumn, m.lastRow, m.lastColumn, "",
                            formatOf(first ? first->format : 0));
    }
    for (const auto& [key, cell] : sheet.Cells()) {
      status =
          WriteCell(engine, ws, sheet.Id(), KeyRow(key), KeyCol(key), cell, formatOf(cell.format));
      if (status != LXW_NO_ERROR) {
        error = std::string("cell not written: ") + lxw_strerror(status);
        break;
      }
    }
  }
  lxw_error closed = workbook_close(wb);  // also frees the workbook
  if (status == LXW_NO_ERROR && closed != LXW_NO_ERROR) {
    error = std::string("the file cannot be written: ") + lxw_strerror(closed);
    status = closed;
  }
  return status == LXW_NO_ERROR;
}

}  // namespace ploxen

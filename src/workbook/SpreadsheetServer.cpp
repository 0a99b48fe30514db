// Block reads and writes of a spreadsheet server, cell by cell, and the names of the servers.
#include "workbook/SpreadsheetServer.h"

#include <algorithm>

#include "workbook/BookPath.h"

namespace ploxen {

bool SpreadsheetServer::RangeValues(SheetHandle sheet, const CellBlock& block,
                                    std::vector<std::string>& texts) {
  texts.assign(static_cast<std::size_t>(std::max(0, block.Size())), std::string());
  for (int r = 0; r < block.rows; ++r)
    for (int c = 0; c < block.columns; ++c)
      if (!CellValue(sheet, block.row + r, block.column + c,
                     texts[static_cast<std::size_t>(r * block.columns + c)]))
        return false;
  return true;
}

bool SpreadsheetServer::RangeTexts(SheetHandle sheet, const CellBlock& block,
                                   std::vector<std::string>& texts) {
  texts.assign(static_cast<std::size_t>(std::max(0, block.Size())), std::string());
  for (int r = 0; r < block.rows; ++r)
    for (int c = 0; c < block.columns; ++c)
      if (!CellText(sheet, block.row + r, block.column + c,
                    texts[static_cast<std::size_t>(r * block.columns + c)]))
        return false;
  return true;
}

bool SpreadsheetServer::SetRangeValues(SheetHandle sheet, const CellBlock& block,
                                       const std::vector<std::string>& texts, bool skipEmpty) {
  if (block.rows < 0 || block.columns < 0 ||
      texts.size() != static_cast<std::size_t>(block.Size()))
    return false;
  for (int r = 0; r < block.rows; ++r) {
    for (int c = 0; c < block.columns; ++c) {
      const std::string& text = texts[static_cast<std::size_t>(r * block.columns + c)];
      if (skipEmpty && text.empty()) continue;
      if (!SetCellValue(sheet, block.row + r, block.column + c, text)) return false;
    }
  }
  return true;
}

bool IsEmbeddedProgId(const std::string& progId) {
  return progId.empty() || LowerAscii(progId) == "excel.application";
}

bool IsLibreOfficeProgId(const std::string& progId) {
  std::string lower = LowerAscii(progId);
  return lower == "libreoffice" || lower == "com.sun.star.servicemanager";
}

}  // namespace ploxen

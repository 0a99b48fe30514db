// The new-process template: a ready-to-calculate process workbook written through the grid
// export, and the command that creates it.
#pragma once

#include <string>

#include "support/StringGrid.h"

namespace ploxen {

class TAplMsgWnd;
class TCalcStartWnd;
class TEqlCalcWnd;
class TExportBook;
class TXlsWnd;
class UserDialogs;

/// Sheet "System": the condition sheet at 300 °C and 1 bar with the kernel's precision and
/// iteration limit texts.
StringGrid TemplateConditionGrid(const std::string& precision, const std::string& iterationLimit);
/// Phase sheet grid of "gas.1" ('g'), "liq.1" ('l') or "sol.1" ('s').
StringGrid TemplatePhaseGrid(char phase);
/// Sheet "Visual": the layout of the visualisation sheet.
StringGrid TemplateVisualGrid();

/// Everything "Create New Process" needs.
struct NewProcessContext {
  TAplMsgWnd& log;
  UserDialogs& dialogs;
  TEqlCalcWnd& calc;
  TExportBook& exportBook;
  TXlsWnd& xls;
  TCalcStartWnd* mainWindow = nullptr;   ///< lists refreshed afterwards when given
  std::string precision = "0.01";        ///< the kernel's EditPrec
  std::string iterationLimit = "98000";  ///< the kernel's EditILimit
};

/// "Create New Process in MS Excel": asks, then writes the six template sheets into a new
/// workbook. True when every sheet was written.
bool CreateNewProcess(NewProcessContext& context, bool ask = true);

/// Writes the template to `path` (.xlsx or .ods): 0 on success, 1 after a posted failure.
/// The template's process picture goes beside it.
int WriteNewProcessFile(NewProcessContext& context, const std::string& path);

/// The picture that the template's "I" row names, shipped in the program folder.
constexpr const char* kTemplatePicture = "visual.jpg";
/// Copies the template's picture from the program folder beside `bookPath` unless a file of
/// that name is there already; false when it could not be copied.
bool CopyTemplatePicture(const std::string& bookPath);

}  // namespace ploxen

// The spreadsheet application the desktop works with: the embedded engine or a running
// LibreOffice Calc, chosen in the main window's menu "Spreadsheet application".
#pragma once

#include <string>

namespace ploxen {

class TAplMsgWnd;
class TAplStgsWnd;
class TBookFiles;
class TCalcStartWnd;
class TXlsWnd;

/// The items of the menu "Spreadsheet application".
enum class SpreadsheetApplication { kEmbedded, kLibreOffice };

/// Switches the workbook interface between the spreadsheet applications and remembers the
/// choice (`OleObject` of section `MainWnd`, which batch runs read as well).
class TSpreadsheetChoice {
 public:
  static constexpr const char* kEmbeddedProgId = "Excel.Application";
  static constexpr const char* kLibreOfficeProgId = "LibreOffice";

  TSpreadsheetChoice(TAplMsgWnd& log, TAplStgsWnd& settings, TXlsWnd& xls, TCalcStartWnd& main,
                     TBookFiles& files);

  /// The application the workbook interface talks to now.
  SpreadsheetApplication Current() const;
  /// The user picked `choice` in the menu: unsaved results of the embedded engine are saved
  /// or kept first (the user may stop), the choice is written to the user settings, and the
  /// book list shows the chosen application's books. 1 switched, 0 unchanged or stopped.
  int Select(SpreadsheetApplication choice);
  /// "Show in spreadsheet application" with LibreOffice: its window comes to the front with
  /// the selected condition sheet; false when no office answers.
  bool ShowInOffice();
  /// The user chose the live connection for `path`, held open in LibreOffice: switches to it
  /// and selects that book and `sheet` there, so "Calculation" runs in the office's document.
  /// False (posted) when the office does not hold the book.
  bool UseLiveConnection(const std::string& path, const std::string& sheet);

 private:
  /// Writes the choice and attaches the interface to that application.
  void SwitchTo(SpreadsheetApplication choice);

  TAplMsgWnd& log_;
  TAplStgsWnd& settings_;
  TXlsWnd& xls_;
  TCalcStartWnd& main_;
  TBookFiles& files_;
};

}  // namespace ploxen

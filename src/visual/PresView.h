// The visualisation window ("Visualisation") as a model: a process picture with up to 96
// movable text fields whose labels and values come from the visual sheet of a workbook.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace ploxen {

class TAplMsgWnd;
class TXlsWnd;

/// One text field over the picture. Positions are window pixels.
struct PresField {
  bool exists = false;   ///< created by a load (fields are created in groups on demand)
  bool visible = false;  ///< shown over the picture
  int number = 0;        ///< field number 1..96, the control's tag
  std::string text;      ///< label, a blank and the value (columns B and C)
  std::string hint;      ///< column D
  bool inputColour = false;  ///< the hint begins with "[Ctrl]": light green background
  int left = 0, top = 0, width = 100, height = 18;
  int useCount = 0;  ///< rows of the last load that named this field
};

/// A window rectangle [pixels].
struct PresRect {
  int left = 0, top = 0, width = 0, height = 0;
};

/// Kind of a picture file, told from its first bytes.
enum class PictureKind { kNone, kBmp, kJpeg, kPng, kSvg };

/// The kind of the picture in `path`, kNone when the file is missing, empty, larger than
/// `maxBytes` or none of the four kinds.
PictureKind SniffPicture(const std::string& path, std::uintmax_t maxBytes);

/// Model of the visualisation window. Reads and writes the visual sheet through its own
/// workbook interface instance, which follows the book the main window or a calculation
/// names, so the window's book and sheet lists never disturb the main window's.
class TPresViewWnd {
 public:
  static constexpr const char* kCaption = "Visualisation";
  static constexpr int kFieldCount = 96;
  static constexpr int kFieldGroup = 16;  ///< fields n..n+16 are created with field n
  static constexpr const char* kPictureFilter =
      "Picture (*.bmp;*.jpg)|*.bmp;*.jpg|All Files (*.*)|*.*";
  /// Pictures above this size are refused like a missing file: a flow sheet picture is a few
  /// megabytes, and a huge file would only stall the window.
  static constexpr std::uintmax_t kMaxPictureBytes = 32u * 1024u * 1024u;

  /// `xls`: the visualisation's own workbook interface (it attaches to the running server).
  TPresViewWnd(TAplMsgWnd& log, TXlsWnd& xls);

  // ---- Window state ----
  std::string Caption = "Visualisation ";
  int visualSheetIndex = 0;     ///< index of the visual sheet in the followed book, 0 none
  std::string visualSheetName;  ///< its name
  std::string pictureFile;      ///< full path of the picture in use, empty none
  bool MnuGetPosition = true;   ///< "Get Position"
  bool MnuStatusBar = true;     ///< "StatusBar"
  bool firstLoad = true;        ///< the "W" row applies only on the first load
  bool windowOpen = false;      ///< the window is shown (set by the view)
  PresRect window{10, 10, 600, 400};
  int geometryStamp = 0;  ///< advanced whenever a load sets `window`
  int screenWidth = 1920, screenHeight = 1080;
  std::string fontName = "Arial";
  int fontSize = 8;
  std::array<PresField, kFieldCount + 1> fields{};  ///< 1..96; [0] unused
  std::string StatusPanel[4];
  int selectedField = 0;  ///< field with the keyboard focus, 0 none
  /// Bottom panel: books of the server and sheets of the chosen one (-1: none chosen).
  std::vector<std::string> CbxBooks, CbxSheets;
  int CbxBooksIndex = -1, CbxSheetsIndex = -1;

  /// Called after the model changed what the window shows.
  std::function<void()> onChanged;
  /// Shows the message log ("Messages").
  std::function<void()> onShowLog;

  // ---- The book the window follows ----
  /// Follows workbook `book` (file name) of the server `progId`; the selection of the sheet
  /// is kept when the book stays the same.
  void FollowBook(const std::string& progId, const std::string& book);
  const std::string& FollowedBook() const { return book_; }

  // ---- Interfaces ----
  /// Looks the sheet up in the followed book: its index, 0 for an empty name (clears the
  /// selection), 0 after message 428 when it is missing.
  int SetVisualSheet(const std::string& name);
  /// Loads the visual sheet and lays out the fields; without a sheet, resets the window.
  void Refresh();
  /// The refresh after a calculation: positions, window, font and picture stay as they are.
  void RefreshAfterCalculation();
  /// The main window found sheet `sheet` (A1 "pres" or "visual") in book `book`: it becomes
  /// the visual sheet, "Get Position" is checked and an open window is refreshed. An empty
  /// `sheet` resets the selection.
  void UseSheetOf(const std::string& progId, const std::string& book, const std::string& sheet);
  /// The window without a sheet: caption, field 1 "visual" at (1, 1), no picture.
  void Reset();
  /// The window was closed: the next load applies the "W" row again.
  void Closed();

  // ---- Menu ----
  /// "Picture": uses `path` when it is a picture; anything else is ignored. True when used.
  bool ChoosePicture(const std::string& path);
  /// The view could not decode the picture in use: message 453, no picture.
  void PictureUnreadable();
  void ToggleGetPosition() { MnuGetPosition = !MnuGetPosition; Changed(); }
  void ToggleStatusBar() { MnuStatusBar = !MnuStatusBar; Changed(); }
  /// "Show All" / "Delete All": fields 1 to 16 shown or hidden.
  void ShowAll(bool show);
  /// "Save Positions": window and field geometry into columns E to H; rows written, or 0.
  int SavePositions();

  // ---- Moving and sizing fields ----
  /// A drag with Ctrl moved field `n` to (left, top).
  void DragField(int n, int left, int top);
  /// Ctrl+arrow: moves field `n` by (dx, dy), never below 0.
  void MoveField(int n, int dx, int dy);
  /// Alt+arrow: changes width by `dw` and height by `dh`, never below 4.
  void SizeField(int n, int dw, int dh);
  /// Alt+Delete: hides field `n`.
  void HideField(int n);
  /// Up (`step` -1) and Down (+1): the previous or next visible field after `n`, or `n`.
  int NextVisibleField(int n, int step) const;
  /// Field `n` has the focus; the status bar shows its geometry and hint.
  void SelectField(int n);
  /// A click on the picture at (x, y).
  void PictureClick(int x, int y);
  /// The window was moved or resized by the user.
  void WindowChanged(const PresRect& r);

  // ---- Data input ----
  /// Ctrl+Enter in field `n` whose text the user has edited to `text`: 1 written, 0 refused.
  int DataInput(int n, const std::string& text);

  // ---- Bottom panel ----
  void UpdateBooks();           ///< "Update Books"
  void ChooseBook(int index);   ///< a workbook chosen in the list
  void ChooseSheet(int index);  ///< a sheet chosen in the list
  void GetData();               ///< "Get Data": the chosen sheet becomes the visual sheet

 private:
  bool SelectFollowedBook();
  void CreateFieldsFrom(int n);
  void ApplyWindowRow(const std::string* cells);
  void ApplyPictureRow(const std::string& name);
  std::string PictureFolder();
  bool ReadBlock(int rows, int firstColumn, int lastColumn, bool values,
                 std::vector<std::string>& cells);
  void ShowFieldStatus(const PresField& f);
  void Changed() {
    if (onChanged) onChanged();
  }

  TAplMsgWnd& log_;
  TXlsWnd& xls_;
  std::string progId_;
  std::string book_;
};

}  // namespace ploxen

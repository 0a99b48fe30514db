// The element selection dialog ("Elements") as a model: a periodic table of element buttons
// with a pending state, and the committed selection the kernel and the compound filter use.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ploxen {

class Periodica;
class TAplMsgWnd;

/// Buttons `BitBtn0`..`BitBtn131`, one per element index; 106..131 show "D" and user elements.
/// The button colours are the pending selection, the selection flags the committed one.
class TElementsDlg {
 public:
  static constexpr const char* kCaption = "Elements";
  static constexpr int kButtonCount = 132;
  static constexpr int kLastBuiltIn = 105;    ///< last element with a place in the table
  static constexpr int kFirstUserRow = 106;   ///< first button of the upper user row
  static constexpr int kSecondUserRow = 119;  ///< first button of the lower user row
  static constexpr int kTableRows = 10;       ///< rows of the table, f-block rows included
  static constexpr int kTableColumns = 18;

  /// One element button as the window draws it.
  struct ElementButton {
    int tag = -1;         ///< element index
    std::string caption;  ///< symbol
    std::string hint;     ///< element name
    bool visible = false;
    bool red = false;  ///< pending state: red selected, blue not
    int left = 0;      ///< [pixel], user buttons only
    int width = 32;    ///< [pixel], user buttons only
  };

  /// Place of a built-in element in the periodic table; row -1 for the user buttons.
  struct TableCell {
    int row = -1;
    int column = -1;
  };

  /// `flags`: the committed selection, one byte per element index (the system window's).
  TElementsDlg(TAplMsgWnd& log, const Periodica& elements, std::vector<std::uint8_t>& flags);

  std::array<ElementButton, kButtonCount> BitBtn;
  std::string Label1;         ///< symbol and name of the last clicked button
  std::string Label2 = "n";   ///< its number
  std::string Label3 = "mw";  ///< its weight [g/mol]

  /// Makes a button visible for every element of the table with its symbol and name; places
  /// and sizes the user buttons after the symbol's length.
  void ShowElements();
  /// Button colours from the committed selection; rebuilds `SelectedElements`.
  void ShowSelection();
  /// A click on button `index`: toggles its pending state and shows the element's data.
  void ButtonClick(int index);
  /// Takes the button colours as the new selection and reports what changed to the log.
  void CommitSelection();
  /// "Accept": `CommitSelection`, then the callback `onAccepted`.
  void PanelAcceptClick();
  /// Index of a symbol in the element table (exact), -1 for none or an empty symbol.
  int ElementIndexOf(std::string_view symbol) const;

  /// Sorted texts symbol + " " of the committed selection (the compound filter's form).
  const std::vector<std::string>& SelectedElements() const { return selected_; }
  /// Rebuilds `SelectedElements` from the selection flags without touching the buttons (after
  /// a calculation or the workbook driver changed the flags).
  void UpdateSelectedElements();
  /// True when at least one element is committed.
  bool AnySelected() const;
  std::vector<std::uint8_t>& Flags() { return flags_; }
  const std::vector<std::uint8_t>& Flags() const { return flags_; }

  /// Buttons in the window's component order: the table row by row, then the user buttons.
  const std::vector<int>& ComponentOrder() const { return order_; }
  /// Table place of element index `index` (0..105).
  static TableCell CellOf(int index);

  /// Called after "Accept" (the workbook driver and the element balance refresh from it).
  std::function<void()> onAccepted;

 private:
  TAplMsgWnd& log_;
  const Periodica& elements_;
  std::vector<std::uint8_t>& flags_;
  std::vector<std::string> selected_;
  std::vector<int> order_;
};

}  // namespace ploxen

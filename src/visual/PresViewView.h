// The "Visualisation" window: the process picture, the movable fields, the menus, the bottom
// panel with books and sheets, and the status bar.
#pragma once

#include <QImage>
#include <QMainWindow>

#include <array>
#include <string>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace ploxen {

class TPresViewWnd;
class UserDialogs;

/// Draws TPresViewWnd and forwards what the user does to it. The picture is drawn at its own
/// pixel size from the top-left corner (an SVG at its default size), never scaled, so the
/// field positions of the visual sheet stay pixel positions on the picture.
class TPresViewWndView : public QMainWindow {
  Q_OBJECT

 public:
  TPresViewWndView(TPresViewWnd& model, UserDialogs& dialogs, QWidget* parent = nullptr);
  ~TPresViewWndView() override;

  /// Shows what the model holds: caption, picture, fields, font, geometry, lists, status.
  void Refresh();
  /// Opens the window: loads the visual sheet and shows it.
  void Open();

  QLineEdit* Field(int n) const;
  QWidget* Canvas() const { return canvas_; }
  QLabel* StatusPanel(int i) const { return status_[static_cast<std::size_t>(i)]; }
  QAction* Command(const char* caption) const;
  QComboBox* Books() const { return books_; }
  QComboBox* Sheets() const { return sheets_; }
  const QImage& Picture() const { return picture_; }
  /// "Image-Copy": the window's picture area, cut to the picture's size.
  QImage ImageCopy();

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  class PictureCanvas;
  void BuildMenus();
  void BuildPanel();
  QLineEdit* MakeField(int n);
  void LoadPicture();
  bool FieldKey(int n, QKeyEvent* key);
  void ReportGeometry();

  TPresViewWnd& model_;
  UserDialogs& dialogs_;
  QWidget* canvas_ = nullptr;
  std::array<QLineEdit*, 97> fields_{};
  std::array<QLabel*, 4> status_{};
  QComboBox* books_ = nullptr;
  QComboBox* sheets_ = nullptr;
  QImage picture_;
  std::string pictureShown_;
  int geometryStamp_ = -1;
  bool applying_ = false;  ///< guards against feedback while the model's state is applied
  int dragField_ = 0;
  QPoint dragOffset_;
};

}  // namespace ploxen

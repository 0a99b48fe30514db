// The "Visualisation" window.
#include "visual/PresViewView.h"

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QSvgRenderer>

#include "support/UserDialogs.h"
#include "visual/PresView.h"

namespace ploxen {

/// The picture with the fields over it; a click reports the mouse position.
class TPresViewWndView::PictureCanvas : public QWidget {
 public:
  PictureCanvas(TPresViewWndView& view, QWidget* parent) : QWidget(parent), view_(view) {}

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.fillRect(rect(), palette().window());
    if (!view_.picture_.isNull()) painter.drawImage(0, 0, view_.picture_);
  }
  void mousePressEvent(QMouseEvent* event) override {
    view_.model_.PictureClick(event->position().toPoint().x(), event->position().toPoint().y());
  }

 private:
  TPresViewWndView& view_;
};

TPresViewWndView::TPresViewWndView(TPresViewWnd& model, UserDialogs& dialogs, QWidget* parent)
    : QMainWindow(parent, Qt::Window), model_(model), dialogs_(dialogs) {
  setObjectName("TPresViewWnd");
  auto* area = new QScrollArea;
  area->setObjectName("PictureArea");
  canvas_ = new PictureCanvas(*this, area);
  canvas_->setObjectName("Picture");
  area->setWidget(canvas_);
  auto* central = new QWidget;
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(area, 1);
  setCentralWidget(central);
  BuildMenus();
  BuildPanel();
  for (std::size_t i = 0; i < status_.size(); ++i) {
    status_[i] = new QLabel;
    status_[i]->setObjectName(QString("StatusPanel%1").arg(i));
    statusBar()->addWidget(status_[i], i == 3 ? 1 : 0);
  }
  model_.onChanged = [this] { Refresh(); };
  Refresh();
}

TPresViewWndView::~TPresViewWndView() { model_.onChanged = nullptr; }

QAction* TPresViewWndView::Command(const char* caption) const {
  for (QAction* a : menuBar()->actions()) {
    if (a->text() == caption) return a;
  }
  return nullptr;
}

void TPresViewWndView::BuildMenus() {
  QMenuBar* bar = menuBar();
  bar->addAction("Picture", this, [this] {
    FileDialogRequest request{"Picture", TPresViewWnd::kPictureFilter, "", "", ""};
    const std::string path = dialogs_.OpenFileName(request);
    if (!path.empty()) model_.ChoosePicture(path);
  });
  QAction* position = bar->addAction("Get Position");
  position->setCheckable(true);
  connect(position, &QAction::toggled, this, [this](bool on) {
    if (!applying_ && on != model_.MnuGetPosition) model_.ToggleGetPosition();
  });
  bar->addAction("Save Positions", this, [this] { model_.SavePositions(); });
  QAction* status = bar->addAction("StatusBar");
  status->setCheckable(true);
  connect(status, &QAction::toggled, this, [this](bool on) {
    if (!applying_ && on != model_.MnuStatusBar) model_.ToggleStatusBar();
  });
  bar->addAction("Show All", this, [this] { model_.ShowAll(true); });
  bar->addAction("Delete All", this, [this] { model_.ShowAll(false); });
  bar->addAction("Update", this, [this] { model_.Refresh(); });
  bar->addAction("Image-Copy", this,
                 [this] { QApplication::clipboard()->setImage(ImageCopy()); });
  bar->addAction("Messages", this, [this] {
    if (model_.onShowLog) model_.onShowLog();
  });
}

void TPresViewWndView::BuildPanel() {
  auto* panel = new QWidget;
  panel->setObjectName("BottomPanel");
  auto* row = new QHBoxLayout(panel);
  row->setContentsMargins(4, 2, 4, 2);
  books_ = new QComboBox;
  books_->setObjectName("CbxBooks");
  books_->setMinimumContentsLength(16);
  auto* updateBooks = new QPushButton("Update Books");
  updateBooks->setObjectName("BtnUpdateBooks");
  sheets_ = new QComboBox;
  sheets_->setObjectName("CbxSheets");
  sheets_->setMinimumContentsLength(10);
  auto* getData = new QPushButton("Get Data");
  getData->setObjectName("BtnGetData");
  row->addWidget(books_, 1);
  row->addWidget(updateBooks);
  row->addWidget(sheets_, 1);
  row->addWidget(getData);
  static_cast<QVBoxLayout*>(centralWidget()->layout())->addWidget(panel);
  connect(updateBooks, &QPushButton::clicked, this, [this] { model_.UpdateBooks(); });
  connect(getData, &QPushButton::clicked, this, [this] { model_.GetData(); });
  connect(books_, &QComboBox::activated, this, [this](int i) { model_.ChooseBook(i); });
  connect(sheets_, &QComboBox::activated, this, [this](int i) { model_.ChooseSheet(i); });
}

QLineEdit* TPresViewWndView::Field(int n) const {
  return n >= 1 && n <= TPresViewWnd::kFieldCount ? fields_[static_cast<std::size_t>(n)]
                                                  : nullptr;
}

QLineEdit* TPresViewWndView::MakeField(int n) {
  auto* edit = new QLineEdit(canvas_);
  edit->setObjectName(QString("Field%1").arg(n));
  edit->setProperty("field", n);
  edit->setFrame(true);
  edit->setAutoFillBackground(true);
  edit->installEventFilter(this);
  fields_[static_cast<std::size_t>(n)] = edit;
  return edit;
}

// JPEG, BMP and PNG through Qt's image readers, SVG rendered at its default size. A file
// that passed the model's check but cannot be decoded is handed back as unreadable.
void TPresViewWndView::LoadPicture() {
  if (model_.pictureFile == pictureShown_) return;
  pictureShown_ = model_.pictureFile;
  picture_ = QImage();
  if (pictureShown_.empty()) return;
  const QString path = QString::fromStdString(pictureShown_);
  if (path.endsWith(".svg", Qt::CaseInsensitive) ||
      SniffPicture(pictureShown_, TPresViewWnd::kMaxPictureBytes) == PictureKind::kSvg) {
    QSvgRenderer svg(path);
    const QSize size = svg.defaultSize();
    if (svg.isValid() && !size.isEmpty() && size.width() <= 8192 && size.height() <= 8192) {
      picture_ = QImage(size, QImage::Format_ARGB32_Premultiplied);
      picture_.fill(Qt::white);
      QPainter painter(&picture_);
      svg.render(&painter);
    }
  } else {
    QImageReader reader(path);
    reader.setAllocationLimit(256);  // megabytes: a picture, not a poster
    picture_ = reader.read();
  }
  if (picture_.isNull()) {
    pictureShown_.clear();
    model_.PictureUnreadable();  // posts and refreshes without a picture
  }
}

void TPresViewWndView::Refresh() {
  applying_ = true;
  setWindowTitle(QString::fromStdString(model_.Caption));
  LoadPicture();
  if (model_.geometryStamp != geometryStamp_) {
    geometryStamp_ = model_.geometryStamp;
    move(model_.window.left, model_.window.top);
    resize(model_.window.width, model_.window.height);
  }
  QFont font(QString::fromStdString(model_.fontName));
  font.setPointSize(model_.fontSize);
  QSize extent = picture_.isNull() ? QSize(100, 100) : picture_.size();
  for (int n = 1; n <= TPresViewWnd::kFieldCount; ++n) {
    const PresField& f = model_.fields[static_cast<std::size_t>(n)];
    QLineEdit* edit = Field(n);
    if (!f.exists) {
      if (edit) edit->hide();
      continue;
    }
    if (!edit) edit = MakeField(n);
    const QString text = QString::fromStdString(f.text);
    if (!edit->isModified() && edit->text() != text) edit->setText(text);
    edit->setToolTip(QString::fromStdString(f.hint));
    edit->setFont(font);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, f.inputColour ? QColor(221, 255, 221)
                                                   : QApplication::palette().color(QPalette::Base));
    edit->setPalette(palette);
    edit->setGeometry(f.left, f.top, f.width, f.height);
    edit->setVisible(f.visible);
    if (f.visible) extent = extent.expandedTo(QSize(f.left + f.width, f.top + f.height));
  }
  canvas_->resize(extent);
  canvas_->update();
  for (std::size_t i = 0; i < status_.size(); ++i)
    status_[i]->setText(QString::fromStdString(model_.StatusPanel[i]));
  statusBar()->setVisible(model_.MnuStatusBar);
  Command("Get Position")->setChecked(model_.MnuGetPosition);
  Command("StatusBar")->setChecked(model_.MnuStatusBar);
  const auto fill = [](QComboBox* box, const std::vector<std::string>& items, int index) {
    QStringList list;
    for (const std::string& s : items) list << QString::fromStdString(s);
    QStringList shown;
    for (int i = 0; i < box->count(); ++i) shown << box->itemText(i);
    if (shown != list) {
      box->clear();
      box->addItems(list);
    }
    box->setCurrentIndex(index);
  };
  fill(books_, model_.CbxBooks, model_.CbxBooksIndex);
  fill(sheets_, model_.CbxSheets, model_.CbxSheetsIndex);
  applying_ = false;
}

void TPresViewWndView::Open() {
  model_.windowOpen = true;
  model_.UpdateBooks();
  model_.Refresh();
  show();
  raise();
}

QImage TPresViewWndView::ImageCopy() {
  QRect area = canvas_->rect();
  if (!picture_.isNull()) area = area.intersected(QRect(QPoint(0, 0), picture_.size()));
  return canvas_->grab(area).toImage();
}

bool TPresViewWndView::FieldKey(int n, QKeyEvent* key) {
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  const int k = key->key();
  const int dx = k == Qt::Key_Left ? -1 : k == Qt::Key_Right ? 1 : 0;
  const int dy = k == Qt::Key_Up ? -1 : k == Qt::Key_Down ? 1 : 0;
  if (mods == Qt::ControlModifier && (k == Qt::Key_Return || k == Qt::Key_Enter)) {
    const std::string text = Field(n)->text().toStdString();
    Field(n)->setModified(false);
    model_.DataInput(n, text);
    return true;
  }
  if (mods == Qt::ControlModifier && (dx || dy)) {
    model_.MoveField(n, dx, dy);
    return true;
  }
  if (mods == Qt::AltModifier && (dx || dy)) {
    model_.SizeField(n, dx, dy);
    return true;
  }
  if (mods == Qt::AltModifier && k == Qt::Key_Delete) {
    model_.HideField(n);
    return true;
  }
  if (mods == Qt::NoModifier && dy) {
    const int next = model_.NextVisibleField(n, dy);
    if (next != n) Field(next)->setFocus();
    return true;
  }
  return false;
}

// Ctrl with the left button drags a field; without Ctrl the field is an ordinary edit.
bool TPresViewWndView::eventFilter(QObject* watched, QEvent* event) {
  auto* edit = qobject_cast<QLineEdit*>(watched);
  const int n = edit ? edit->property("field").toInt() : 0;
  if (n < 1) return QMainWindow::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::KeyPress:
      return FieldKey(n, static_cast<QKeyEvent*>(event));
    case QEvent::FocusIn:
      model_.SelectField(n);
      break;
    case QEvent::MouseButtonPress: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      if (mouse->button() == Qt::LeftButton && (mouse->modifiers() & Qt::ControlModifier)) {
        dragField_ = n;
        dragOffset_ = mouse->position().toPoint();
        return true;
      }
      break;
    }
    case QEvent::MouseMove:
      if (dragField_ == n) {
        const QPoint at = edit->mapToParent(static_cast<QMouseEvent*>(event)->position().toPoint());
        model_.DragField(n, at.x() - dragOffset_.x(), at.y() - dragOffset_.y());
        return true;
      }
      break;
    case QEvent::MouseButtonRelease:
      if (dragField_ == n) {
        dragField_ = 0;
        return true;
      }
      break;
    default:
      break;
  }
  return QMainWindow::eventFilter(watched, event);
}

void TPresViewWndView::ReportGeometry() {
  if (applying_ || !isVisible()) return;
  const QRect g = geometry();
  model_.WindowChanged({g.left(), g.top(), g.width(), g.height()});
}

void TPresViewWndView::moveEvent(QMoveEvent* event) {
  QMainWindow::moveEvent(event);
  ReportGeometry();
}

void TPresViewWndView::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  ReportGeometry();
}

void TPresViewWndView::closeEvent(QCloseEvent* event) {
  model_.Closed();
  QMainWindow::closeEvent(event);
}

}  // namespace ploxen

// The about dialog.
#include "app/AboutView.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/Icons.h"
#include "support/Info.h"

namespace ploxen {

TAboutView::TAboutView(QWidget* parent) : QDialog(parent) {
  setWindowTitle("About");
  setWindowIcon(AppIcon());
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  auto* icon = new QLabel(this);
  icon->setPixmap(AppIcon().pixmap(64, 64));
  const QStringList lines = QString::fromStdString(AboutInformation()).split('\n');
  QStringList html;
  for (const QString& line : lines.mid(1)) html << line.toHtmlEscaped();
  auto* text =
      new QLabel("<b>" + lines.value(0).toHtmlEscaped() + "</b><br>" + html.join("<br>"), this);
  text->setTextInteractionFlags(Qt::TextSelectableByMouse);
  row->addWidget(icon, 0, Qt::AlignTop);
  row->addWidget(text, 1);
  layout->addLayout(row);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}

}  // namespace ploxen

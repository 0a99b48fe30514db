// The clipboard of the grid windows through QClipboard.
#include "gui/GridClipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

#include "support/StringGrid.h"
#include "support/TablOprt.h"

namespace ploxen {

void PutOnClipboard(const std::string& text, const std::string& html) {
  QClipboard* clipboard = QGuiApplication::clipboard();
  if (!clipboard) return;
  auto* data = new QMimeData;
  data->setText(QString::fromStdString(text));
  if (!html.empty()) data->setHtml(QString::fromStdString(html));
  clipboard->setMimeData(data);  // the clipboard owns it
}

std::optional<std::string> ClipboardText() {
  const QClipboard* clipboard = QGuiApplication::clipboard();
  const QMimeData* data = clipboard ? clipboard->mimeData() : nullptr;
  if (!data || !data->hasText()) return std::nullopt;
  return data->text().toStdString();
}

// The table operator hands its text to whoever installed `onClipboard`; the grid windows
// share one operator, so the copy goes around that hook and puts both forms itself.
void CopyRangeToClipboard(TTablOprtWnd& table, const StringGrid& grid, const GridRect& range) {
  auto hook = std::move(table.onClipboard);
  table.onClipboard = nullptr;
  table.CopyRange(grid, range.left, range.top, range.right, range.bottom);
  table.onClipboard = std::move(hook);
  PutOnClipboard(table.ClipboardText(),
                 TTablOprtWnd::HtmlTable(grid, range.left, range.top, range.right, range.bottom));
}

}  // namespace ploxen

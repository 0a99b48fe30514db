// Message boxes and file dialogs for the models.
#include "gui/QtDialogs.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

namespace ploxen {

QString QtFilter(const std::string& filter) {
  const QStringList parts = QString::fromStdString(filter).split('|');
  QStringList out;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    QString name = parts[i].trimmed();
    QString patterns = parts[i + 1].trimmed();
    patterns.replace(';', ' ');
    if (patterns == "*.*") patterns = "*";
    if (name.isEmpty()) continue;
    out << (name.contains('(') ? name + " " + patterns : name + " (" + patterns + ")");
  }
  return out.join(";;");
}

void QtDialogs::MessageBox(const std::string& text, const std::string& title) {
  QMessageBox::information(parent_, QString::fromStdString(title), QString::fromStdString(text));
}

int QtDialogs::Question(const std::string& text, const std::string& title, DialogButtons buttons) {
  QMessageBox::StandardButtons set = QMessageBox::Ok;
  switch (buttons) {
    case DialogButtons::kOk:
      set = QMessageBox::Ok;
      break;
    case DialogButtons::kOkCancel:
      set = QMessageBox::Ok | QMessageBox::Cancel;
      break;
    case DialogButtons::kYesNo:
      set = QMessageBox::Yes | QMessageBox::No;
      break;
    case DialogButtons::kYesNoCancel:
      set = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      break;
  }
  const auto answer = QMessageBox::question(parent_, QString::fromStdString(title),
                                            QString::fromStdString(text), set);
  switch (answer) {
    case QMessageBox::Ok:
      return kAnswerOk;
    case QMessageBox::Yes:
      return kAnswerYes;
    case QMessageBox::No:
      return kAnswerNo;
    default:
      return kAnswerCancel;
  }
}

std::string QtDialogs::FileName(const FileDialogRequest& request, bool save) {
  QFileDialog dialog(parent_, QString::fromStdString(request.title),
                     QString::fromStdString(request.folder), QtFilter(request.filter));
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  if (!request.defaultExt.empty())
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExt));
  if (!request.fileName.empty()) dialog.selectFile(QString::fromStdString(request.fileName));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::string();
  const QStringList filters = dialog.nameFilters();
  selectedFilter_ = static_cast<int>(filters.indexOf(dialog.selectedNameFilter())) + 1;
  if (selectedFilter_ < 1) selectedFilter_ = 1;
  return dialog.selectedFiles().first().toStdString();
}

std::string QtDialogs::OpenFileName(const FileDialogRequest& request) {
  return FileName(request, false);
}

std::string QtDialogs::SaveFileName(const FileDialogRequest& request) {
  return FileName(request, true);
}

}  // namespace ploxen

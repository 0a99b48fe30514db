// Showing a model's list in a combo box.
#include "gui/ComboLists.h"

#include <QComboBox>

namespace ploxen {

void FillCombo(QComboBox* box, const std::vector<std::string>& items, int index) {
  box->clear();
  for (const std::string& item : items) box->addItem(QString::fromStdString(item));
  box->setCurrentIndex(index);
}

}  // namespace ploxen

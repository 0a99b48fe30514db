// Showing a model's list in a combo box.
#pragma once

#include <string>
#include <vector>

class QComboBox;

namespace ploxen {

/// Replaces the entries of `box` by `items` and selects entry `index` (-1: none).
void FillCombo(QComboBox* box, const std::vector<std::string>& items, int index);

}  // namespace ploxen

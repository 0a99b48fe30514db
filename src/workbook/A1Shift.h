// Moves the relative references of an A1 formula text, as a copied formula moves them.
#pragma once

#include <string>
#include <string_view>

namespace ploxen {

/// `formula` (A1 syntax, no leading "=") as it reads when copied `rows` down and `columns`
/// right: references without "$" move, absolute parts stay; a reference moved off the sheet
/// becomes #REF!. Strings and quoted sheet names are left alone.
std::string ShiftRelativeReferences(std::string_view formula, int rows, int columns);

}  // namespace ploxen

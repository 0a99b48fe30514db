// Built-in entries of the element table: the electron and the elements 1..105.
#pragma once

#include <span>

namespace ploxen {

/// One built-in element: symbol, name and atomic weight in g/mol.
struct BuiltInElement {
  const char* symbol;
  const char* name;
  double weight;  ///< g/mol
};

/// The built-in entries in table order; the index of an element equals its atomic number.
std::span<const BuiltInElement> BuiltInElements();

}  // namespace ploxen

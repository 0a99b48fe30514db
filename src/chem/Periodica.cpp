// Element table: built-in entries, user element definitions and the mol definition parser.
#include "chem/Periodica.h"

#include "chem/ElementData.h"
#include "chem/PTools.h"

namespace ploxen {
namespace {

bool IsCountStart(char c) {
  return (c >= '0' && c <= '9') || c == '+' || c == ',' || c == '-' || c == '.';
}

bool IsLetter(char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsCapital(char c) {
  return c >= 'A' && c <= 'Z';
}

// Value text of key `key` ("n", "m" or "x") of an element line: looked up as "k:" and then
// as "k="; the text after it up to the next ";", or the whole rest when there is no ";" or
// the ";" comes first. `found` tells whether the key occurs at all.
std::string KeyValue(const std::string& line, const std::string& key, bool& found) {
  size_t pos = line.find(key + ":");
  if (pos == std::string::npos) pos = line.find(key + "=");
  found = pos != std::string::npos;
  if (!found) return {};
  std::string rest = line.substr(pos + key.size() + 1);
  size_t semi = rest.find(';');
  if (semi == std::string::npos || semi == 0) return rest;
  return rest.substr(0, semi);
}

}  // namespace

Periodica::Periodica() {
  InitElementTable();
}

void Periodica::InitElementTable() {
  FreeElementTable();
  const auto builtIn = BuiltInElements();
  for (size_t i = 0; i < builtIn.size(); ++i) {
    symbol_[i] = builtIn[i].symbol;
    name_[i] = builtIn[i].name;
    weight_[i] = builtIn[i].weight;
  }
  number_[0] = 1;
  for (int i = 1; i < kCapacity; ++i) number_[i] = i;
  lastIndex_ = static_cast<int>(builtIn.size()) - 1;
}

void Periodica::FreeElementTable() {
  symbol_.fill({});
  name_.fill({});
  weight_.fill(0.0);
  number_.fill(0);
  lastIndex_ = -1;
  elementMessage_.clear();
  molDefinitionError_.clear();
}

std::string Periodica::ElementSymbol(int index) const {
  return index >= 0 && index <= lastIndex_ ? symbol_[index] : std::string();
}

std::string Periodica::ElementName(int index) const {
  return index >= 0 && index <= lastIndex_ ? name_[index] : std::string();
}

double Periodica::ElementWeight(int index) const {
  return index >= 0 && index <= lastIndex_ ? weight_[index] : 0.0;
}

int Periodica::ElementNumber(int index) const {
  return index >= 0 && index <= lastIndex_ ? number_[index] : 0;
}

int Periodica::FindSymbol(std::string_view symbol) const {
  for (int i = 0; i <= lastIndex_; ++i) {
    if (symbol_[i] == symbol) return i;
  }
  return -1;
}

int Periodica::DefineElement(const std::string& symbol, const std::string& name, int number,
                             const std::string& replaced, double weight) {
  elementMessage_.clear();
  if (symbol.empty()) return -1;

  // Replace mode: the entry at position `number` takes the new definition once the
  // replaced symbol is known to exist; its number column stays as it was.
  if (!replaced.empty() && number >= 0 && number < Size()) {
    if (FindSymbol(replaced) < 0) {
      elementMessage_ =
          replaced + " does not exists- " + symbol + "(" + name + ") is not replaced!";
      return -1;
    }
    symbol_[number] = symbol;
    name_[number] = name;
    weight_[number] = weight;
    elementMessage_ = replaced + " is changed to -> " + symbol + " (" + name + ") !";
    return number;
  }

  if (Size() >= kCapacity) {
    elementMessage_ = "No more element can be defined";
    return -1;
  }
  const int existing = FindSymbol(symbol);
  if (existing >= 0) {
    elementMessage_ = symbol + " already exists";
    return existing;
  }
  const int index = ++lastIndex_;
  symbol_[index] = symbol;
  name_[index] = name;
  number_[index] = number;
  weight_[index] = weight;
  elementMessage_ = "New element " + symbol + ": " + name + " is given in " + referenceFileName_;
  return index;
}

int Periodica::ParseElementLine(const std::string& line) {
  elementMessage_.clear();
  const std::string text = Trim(line);
  if (!text.empty() && text[0] == '#') return 0;

  const size_t eq = text.find('=');
  const std::string symbol = eq == std::string::npos ? std::string() : Trim(text.substr(0, eq));
  if (symbol.empty()) {
    elementMessage_ = text + ": Element symbol must be given, like Xy, Zw (in Ploxen.sys) ";
    return -1;
  }
  if (!IsCapital(symbol[0])) {
    elementMessage_ =
        symbol + ": Element symbol must begin A .. Z: capital letter (given in Ploxen.sys) ";
    return -2;
  }
  for (size_t i = 1; i < symbol.size(); ++i) {
    if (IsCapital(symbol[i])) {
      elementMessage_ = symbol +
                        ": Element symbol must not contain more than one capital letter "
                        "(given in Ploxen.sys)";
      return -3;
    }
  }
  const char last = symbol.back();
  if (last >= '0' && last <= '9') {
    elementMessage_ = symbol +
                      ": Element symbol must not end with a number!, please use a..z lower case "
                      "letter or paranthesis (given in Ploxen.sys)";
    return -4;
  }
  if (last == '+' || last == ',' || last == '-' || last == '.') {
    elementMessage_ = symbol +
                      ": Element symbol must not contain symbols of plus, minus, comma, dot: "
                      "+ - , . (given in Ploxen.sys)";
    return -5;
  }

  const size_t semi = text.find(';', eq + 1);
  const std::string name =
      semi == std::string::npos ? std::string() : Trim(text.substr(eq + 1, semi - eq - 1));
  if (name.empty()) {
    elementMessage_ = symbol + ": An element name should be given (given in Ploxen.sys) ";
    return -6;
  }

  int number = 0;
  double weight = 0.0;
  bool found = false;
  const std::string numberText = Trim(KeyValue(text, "n", found));
  if (found && !ParseIntText(numberText, number)) {
    elementMessage_ =
        symbol + ": Atom number of the new element(given in Ploxen.sys)  is possibly not correct!";
    return -7;
  }
  const std::string weightText = Trim(KeyValue(text, "m", found));
  if (found && !ParseRealText(weightText, weight)) {
    elementMessage_ = symbol +
                      ": Atom weight of the new element (given in Ploxen.sys) is possibly not "
                      "correct!";
    return -8;
  }
  const std::string replaced = KeyValue(text, "x", found);
  return DefineElement(symbol, name, number, replaced, weight);
}

double Periodica::ElementCount(std::string_view symbol, std::string_view molDefinition) const {
  if (symbol.empty()) return 0.0;
  const std::string whole = Trim(molDefinition);
  std::string_view f = whole;

  // An occurrence is the element only when a count follows it directly; otherwise it is
  // part of a longer symbol ("C" inside "Cl") and the search goes on behind it.
  size_t p = f.find(symbol);
  while (true) {
    if (p == std::string_view::npos) return 0.0;
    f.remove_prefix(p + symbol.size());
    if (f.empty()) return 0.0;
    if (IsCountStart(f.front())) break;
    p = f.find(symbol);
  }

  size_t end = 0;
  while (end < f.size() && !IsLetter(f[end])) ++end;
  const std::string countText = Trim(f.substr(0, end));
  double count = 0.0;
  if (!ParseRealText(countText, count)) {
    molDefinitionError_ = "Irregular mol definition: " + std::string(molDefinition);
    return 0.0;
  }
  return count;
}

double Periodica::MolarMass(std::string_view molDefinition) const {
  double mass = 0.0;
  for (int i = 0; i <= lastIndex_; ++i) {
    mass += ElementCount(symbol_[i], molDefinition) * weight_[i];
  }
  return mass;
}

PhaseSplit SplitPhaseSuffix(std::string_view text) {
  PhaseSplit split;
  split.name = Trim(text);
  split.phase = "(u)";
  if (text.size() > 2) {
    const std::string_view tail = text.substr(text.size() - 3);
    if (tail == "(g)" || tail == "(l)" || tail == "(s)") {
      split.phase = std::string(tail);
      split.name = Trim(text.substr(0, text.size() - 3));
    }
  }
  split.ok = !split.name.empty();
  return split;
}

}  // namespace ploxen

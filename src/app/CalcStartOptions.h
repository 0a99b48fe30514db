// The parameter string of a calculation: its option keys and how their values are cut out.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace ploxen {

/// Option slots of the parameter string; the index is the slot of the option table.
enum OptionSlot : int {
  kOptBook = 0,      ///< "-x:" workbook path or name (required)
  kOptSheet = 1,     ///< "-c:" condition sheet (required)
  kOptReadOnly = 2,  ///< "-r:" write no results (implies "-s:")
  kOptStay = 3,      ///< "-s:" do not save, quit or close
  kOptOnTop = 4,     ///< "-m:" message log on top
  kOptKind = 5,      ///< "-a:" replaced by the calculation kind from A1
  kOptUnused = 6,    ///< "-u:" recognised only
  kOptShutdown = 7,  ///< "-t:" seconds to a forced shutdown
};

constexpr int kOptionSlotCount = 32;  ///< capacity of the option table
constexpr int kOptionKeyCount = 8;
/// The keys in slot order.
constexpr std::array<const char*, kOptionKeyCount> kOptionKeys = {
    "-x:", "-c:", "-r:", "-s:", "-m:", "-a:", "-u:", "-t:"};

/// The option table after a parse: every slot " " unless its key was found.
struct ParameterOptions {
  std::array<std::string, kOptionSlotCount> value;
  std::array<int, kOptionSlotCount> position{};  ///< 1-based position of the key, 0 absent
  int found = 0;                                 ///< number of keys found
  ParameterOptions() { value.fill(" "); }
  bool Has(int slot) const { return position[slot] > 0; }
  /// The slot's value, trimmed ("" for an absent key).
  std::string Text(int slot) const;
};

/// Cuts a parameter string into the option table. A value runs from behind its key to the
/// next key of slots 1..31 ("-x:" ends no value, so it comes first), trimmed.
ParameterOptions SplitParameters(std::string_view parameters);

}  // namespace ploxen

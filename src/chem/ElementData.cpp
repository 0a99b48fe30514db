// Symbols, names and atomic weights (g/mol) of the built-in elements.
#include "chem/ElementData.h"

#include <array>

namespace ploxen {
namespace {

constexpr std::array<BuiltInElement, 106> kElements{{
    {"E", "Electron", 0.0005486},            // 0
    {"H", "Hydrogenium", 1.00794},           // 1
    {"He", "Helium", 4.002602},              // 2
    {"Li", "Lithium", 6.941},                // 3
    {"Be", "Beryllium", 9.012182},           // 4
    {"B", "Boron", 10.811},                  // 5
    {"C", "Carbonium", 12.011},              // 6
    {"N", "Nitrogenium", 14.00674},          // 7
    {"O", "Oxygenium", 15.9994},             // 8
    {"F", "Fluorine", 18.9984032},           // 9
    {"Ne", "Neon", 20.1797},                 // 10
    {"Na", "Sodium", 22.989768},             // 11
    {"Mg", "Magnesium", 24.305},             // 12
    {"Al", "Aluminium", 26.981539},          // 13
    {"Si", "Silicon", 28.0855},              // 14
    {"P", "Phosphorus", 30.973762},          // 15
    {"S", "Sulfur", 32.066},                 // 16
    {"Cl", "Chlorine", 35.4527},             // 17
    {"Ar", "Argon", 39.948},                 // 18
    {"K", "Potassium", 39.0983},             // 19
    {"Ca", "Calcium", 40.078},               // 20
    {"Sc", "Scandium", 44.95591},            // 21
    {"Ti", "Titanium", 47.88},               // 22
    {"V", "Vanadium", 50.9415},              // 23
    {"Cr", "Chromium", 51.9961},             // 24
    {"Mn", "Manganese", 54.93805},           // 25
    {"Fe", "Ferrum Iron", 55.847},           // 26
    {"Co", "Cobalt", 58.9332},               // 27
    {"Ni", "Nickel", 58.69},                 // 28
    {"Cu", "Cuprum", 63.546},                // 29
    {"Zn", "Zinc", 65.39},                   // 30
    {"Ga", "Gallium", 69.723},               // 31
    {"Ge", "Germanium", 72.61},              // 32
    {"As", "Arsenic", 74.92159},             // 33
    {"Se", "Selenium", 78.96},               // 34
    {"Br", "Bromine", 79.904},               // 35
    {"Kr", "Krypton", 83.8},                 // 36
    {"Rb", "Rubidium", 85.4678},             // 37
    {"Sr", "Strontium", 87.62},              // 38
    {"Y", "Yttrium", 88.90585},              // 39
    {"Zr", "Zirconium", 91.224},             // 40
    {"Nb", "Niobium", 92.90638},             // 41
    {"Mo", "Molybdenum", 95.94},             // 42
    {"Tc", "Technetium", 98.9063},           // 43
    {"Ru", "Ruthenium", 101.07},             // 44
    {"Rh", "Rhodium", 102.9055},             // 45
    {"Pd", "Palladium", 106.42},             // 46
    {"Ag", "Argentum, Silver", 107.8682},    // 47
    {"Cd", "Cadmium", 112.411},              // 48
    {"In", "Indium", 114.82},                // 49
    {"Sn", "Stannum, Tin", 118.71},          // 50
    {"Sb", "Stibium, Antimony", 121.75},     // 51
    {"Te", "Tellurium", 127.6},              // 52
    {"I", "Iodine", 126.90447},              // 53
    {"Xe", "Xenon", 131.29},                 // 54
    {"Cs", "Caesium", 132.90543},            // 55
    {"Ba", "Barium", 137.327},               // 56
    {"La", "Lanthanum", 138.9055},           // 57
    {"Ce", "Cerium", 140.115},               // 58
    {"Pr", "Praseodymium", 140.90765},       // 59
    {"Nd", "Neodymium", 144.24},             // 60
    {"Pm", "Promethium", 146.9151},          // 61
    {"Sm", "Samarium", 150.36},              // 62
    {"Eu", "Europium", 151.965},             // 63
    {"Gd", "Gadolinium", 157.25},            // 64
    {"Tb", "Terbium", 158.92534},            // 65
    {"Dy", "Dysprosium", 162.5},             // 66
    {"Ho", "Holmium", 164.93032},            // 67
    {"Er", "Erbium", 167.26},                // 68
    {"Tm", "Thulium", 168.93421},            // 69
    {"Yb", "Ytterbium", 173.04},             // 70
    {"Lu", "Lutetium", 174.967},             // 71
    {"Hf", "Hafnium", 178.49},               // 72
    {"Ta", "Tantalum", 180.9479},            // 73
    {"W", "Tungsten", 183.85},               // 74
    {"Re", "Rhenium", 186.207},              // 75
    {"Os", "Osmium", 190.2},                 // 76
    {"Ir", "Iridium", 192.22},               // 77
    {"Pt", "Platinum", 195.08},              // 78
    {"Au", "Aurum, Gold", 196.96654},        // 79
    {"Hg", "Hydrargyrum, Mercury", 200.59},  // 80
    {"Tl", "Thallium", 204.3833},            // 81
    {"Pb", "Plumbum, Lead", 207.2},          // 82
    {"Bi", "Bismuth", 208.98037},            // 83
    {"Po", "Polonium", 208.9824},            // 84
    {"At", "Astatine", 209.9871},            // 85
    {"Rn", "Radon", 222.0176},               // 86
    {"Fr", "Francium", 223.0197},            // 87
    {"Ra", "Radium", 226.0254},              // 88
    {"Ac", "Actinium", 227.0278},            // 89
    {"Th", "Thorium", 232.0381},             // 90
    {"Pa", "Protactinium", 231.0359},        // 91
    {"U", "Uranium", 238.0289},              // 92
    {"Np", "Neptunium", 237.0482},           // 93
    {"Pu", "Plutonium", 244.0642},           // 94
    {"Am", "Americium", 243.0614},           // 95
    {"Cm", "Curium", 247.0703},              // 96
    {"Bk", "Berkelium", 247.0703},           // 97
    {"Cf", "Californium", 251.0796},         // 98
    {"Es", "Einsteinium", 252.0829},         // 99
    {"Fm", "Fermium", 257.0951},             // 100
    {"Md", "Mendelevium", 258.0986},         // 101
    {"No", "Nobelium", 259.1009},            // 102
    {"Lr", "Lawrencium", 260.1053},          // 103
    {"Rf", "Rutherfordium", 261.1087},       // 104
    {"Db", "Dubnium", 262.1138},             // 105
}};

}  // namespace

std::span<const BuiltInElement> BuiltInElements() {
  return kElements;
}

}  // namespace ploxen

// Table of the built-in functions.
#include "workbook/FormulaFunctions.h"

namespace ploxen {

namespace {

constexpr int kAny = 255;

constexpr FunctionInfo kFunctions[] = {
    {"SUM", kFnSum, 1, kAny, false},
    {"AVERAGE", kFnAverage, 1, kAny, false},
    {"MIN", kFnMin, 1, kAny, false},
    {"MAX", kFnMax, 1, kAny, false},
    {"COUNT", kFnCount, 1, kAny, false},
    {"COUNTA", kFnCountA, 1, kAny, false},
    {"ABS", kFnAbs, 1, 1, false},
    {"ROUND", kFnRound, 2, 2, false},
    {"ROUNDUP", kFnRoundUp, 2, 2, false},
    {"ROUNDDOWN", kFnRoundDown, 2, 2, false},
    {"INT", kFnInt, 1, 1, false},
    {"MOD", kFnMod, 2, 2, false},
    {"SQRT", kFnSqrt, 1, 1, false},
    {"POWER", kFnPower, 2, 2, false},
    {"EXP", kFnExp, 1, 1, false},
    {"LN", kFnLn, 1, 1, false},
    {"LOG10", kFnLog10, 1, 1, false},
    {"PI", kFnPi, 0, 0, false},
    {"IF", kFnIf, 1, 3, false},
    {"IFERROR", kFnIfError, 2, 2, false},
    {"AND", kFnAnd, 1, kAny, false},
    {"OR", kFnOr, 1, kAny, false},
    {"NOT", kFnNot, 1, 1, false},
    {"ISBLANK", kFnIsBlank, 1, 1, false},
    {"ISNUMBER", kFnIsNumber, 1, 1, false},
    {"CONCATENATE", kFnConcatenate, 1, kAny, false},
    {"LEFT", kFnLeft, 1, 2, false},
    {"RIGHT", kFnRight, 1, 2, false},
    {"MID", kFnMid, 3, 3, false},
    {"LEN", kFnLen, 1, 1, false},
    {"UPPER", kFnUpper, 1, 1, false},
    {"LOWER", kFnLower, 1, 1, false},
    {"TRIM", kFnTrim, 1, 1, false},
    {"VALUE", kFnValue, 1, 1, false},
    {"NOW", kFnNow, 0, 0, true},
    {"TODAY", kFnToday, 0, 0, true},
    {"VLOOKUP", kFnVLookup, 3, 4, false},
    {"INDEX", kFnIndex, 2, 3, false},
    {"MATCH", kFnMatch, 2, 3, false},
    {"SUMPRODUCT", kFnSumProduct, 1, kAny, false},
    {"TRUE", kFnTrue, 0, 0, false},
    {"FALSE", kFnFalse, 0, 0, false},
};

static_assert(sizeof kFunctions / sizeof kFunctions[0] == kFnCount_);

}  // namespace

const FunctionInfo* FindFunction(std::string_view upperName) {
  for (const auto& f : kFunctions)
    if (f.name == upperName) return &f;
  return nullptr;
}

const FunctionInfo& FunctionById(int id) { return kFunctions[id]; }

}  // namespace ploxen

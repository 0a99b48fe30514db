// The built-in functions the engine evaluates: names, argument counts, volatility.
#pragma once

#include <string_view>

namespace ploxen {

/// Ids of the built-in functions.
enum FunctionId : int {
  kFnSum, kFnAverage, kFnMin, kFnMax, kFnCount, kFnCountA, kFnAbs, kFnRound, kFnRoundUp,
  kFnRoundDown, kFnInt, kFnMod, kFnSqrt, kFnPower, kFnExp, kFnLn, kFnLog10, kFnPi, kFnIf,
  kFnIfError, kFnAnd, kFnOr, kFnNot, kFnIsBlank, kFnIsNumber, kFnConcatenate, kFnLeft,
  kFnRight, kFnMid, kFnLen, kFnUpper, kFnLower, kFnTrim, kFnValue, kFnNow, kFnToday,
  kFnVLookup, kFnIndex, kFnMatch, kFnSumProduct, kFnTrue, kFnFalse, kFnCount_
};

/// Name and calling rules of one built-in function.
struct FunctionInfo {
  std::string_view name;  ///< upper case
  int id;
  int minArgs;
  int maxArgs;  ///< 255 for "any number"
  bool isVolatile;
};

/// The function called `upperName` (already upper case), or null when it is not built in.
const FunctionInfo* FindFunction(std::string_view upperName);
/// The function with id `id` (must be valid).
const FunctionInfo& FunctionById(int id);

}  // namespace ploxen

// Extended-precision elementary functions of the kernel's inner loops.
#pragma once

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace ploxen {

static_assert(LDBL_MANT_DIG == 64, "the kernel expects 80-bit extended reals");

/// 2^(j/256) for j = 0..255, filled once at start-up.
struct ExpPowerTable {
  ExpPowerTable();
  long double value[256];
};
extern const ExpPowerTable kExpPowers;

/// e^x in 80-bit extended precision (about 2 ulp), table-driven: x = (256 m + j) ln2/256 + r,
/// e^x = 2^m 2^(j/256) e^r. Much faster than the x87 library routine on the kernel's hot path;
/// arguments beyond +-11000 use the library.
inline long double ExpExtended(long double x) {
  constexpr long double kInvStep = 369.32993046757463228414071833648438718L;  // 256 / ln 2
  // ln2 / 256 in three parts: the first two have few enough bits that k * part is exact.
  constexpr long double kStepHi = 0xb17217f7d1p-48L;
  constexpr long double kStepMid = 0xcf79acp-72L;
  constexpr long double kStepLo = -4.475919033905755004271601508581e-23L;
  constexpr long double kShifter = 0x1.8p63L;  // adding it rounds to an integer
  if (!(x > -11000.0L && x < 11000.0L)) return std::exp(x);
  // The shifted sum holds k in the low bits of its mantissa: no slow x87 integer conversion.
  const long double shifted = x * kInvStep + kShifter;
  const long double kf = shifted - kShifter;
  std::uint64_t mantissa = 0;
  std::memcpy(&mantissa, &shifted, 8);
  const std::int64_t k = static_cast<std::int64_t>(mantissa - 0xC000000000000000ull);
  const long double r = ((x - kf * kStepHi) - kf * kStepMid) - kf * kStepLo;  // |r| <= ln2/512
  const long double p =
      1.0L +
      r * (1.0L + r * (1.0L / 2 + r * (1.0L / 6 + r * (1.0L / 24 + r * (1.0L / 120 + r / 720)))));
  const int j = static_cast<int>(k & 255);
  // 2^m from its bit pattern: explicit integer bit, biased exponent (m stays in normal range).
  const std::uint64_t one = 0x8000000000000000ull;
  const std::uint16_t exponent = static_cast<std::uint16_t>((k - j) / 256 + 16383);
  unsigned char bytes[sizeof(long double)] = {};
  std::memcpy(bytes, &one, 8);
  std::memcpy(bytes + 8, &exponent, 2);
  long double power;
  std::memcpy(&power, bytes, sizeof power);
  return kExpPowers.value[j] * p * power;
}

}  // namespace ploxen

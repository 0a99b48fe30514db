// The power table of the kernel's extended-precision exponential.
#include "kernel/KernelMath.h"

namespace ploxen {

ExpPowerTable::ExpPowerTable() {
  for (int j = 0; j < 256; ++j) value[j] = std::exp2(static_cast<long double>(j) / 256);
}

const ExpPowerTable kExpPowers;

}  // namespace ploxen

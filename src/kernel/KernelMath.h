// Extended-precision elementary functions of the kernel's inner loops.
#pragma once

namespace ploxen {

/// e^x in 80-bit extended precision (about 2 ulp), table-driven; much faster than the x87
/// library routine on the kernel's hot path. Arguments beyond +-11000 use the library.
long double ExpExtended(long double x);

}  // namespace ploxen

// libFuzzer target for the ".tdb" loader: any bytes as a database file, then every lookup and
// every state function evaluation over the loaded records. Not part of the CMake build; build
// and run from the repository root with Debian's clang:
//   clang++ -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -Isrc \
//     tests/fuzz/TdbLoadFuzz.cpp src/thermo/PXDatabase.cpp src/thermo/PXLookup.cpp \
//     src/thermo/StateFunctions.cpp src/thermo/FluidModels.cpp src/support/AplMsg.cpp \
//     src/support/TextCodec.cpp src/support/Platform.cpp src/chem/PTools.cpp -o /tmp/tdb_fuzz
//   mkdir -p /tmp/tdb_corpus && cp tests/data/thermo/*.tdb /tmp/tdb_corpus
//   /tmp/tdb_fuzz -max_total_time=60 -max_len=4096 /tmp/tdb_corpus
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

#include "support/AplMsg.h"
#include "thermo/PXDatabase.h"
#include "thermo/StateFunctions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = "/tmp/ploxen_tdb_fuzz_" + std::to_string(::getpid()) + ".tdb";
  if (std::FILE* f = std::fopen(path.c_str(), "wb")) {
    std::fwrite(data, 1, size, f);
    std::fclose(f);
  }
  ploxen::TAplMsgWnd log;
  ploxen::PXDatabase db(log);
  if (db.LoadDatabase(path) < 0) return 0;
  for (int r = 0; r < db.RecordCount(); ++r) {
    std::string name(db.Field(r, ploxen::kFieldName));
    std::string phase(db.Field(r, ploxen::kFieldPhase));
    for (double t : {1.0, 300.0, 5000.0}) db.FindDataset(name, phase, t);
    db.MolDefinitionOf(name, phase);
    db.TemperatureRangeOf(name, phase);
    for (int model = 0; model < ploxen::kFluidModelCount; ++model) {
      ploxen::StateFunctionRecord s;
      ploxen::StateFunctions(db, r, model, 10.0, 500.0, s);
      ploxen::StateFunctions(db, r, model, 1e-3, 1.5, s);
    }
  }
  return 0;
}

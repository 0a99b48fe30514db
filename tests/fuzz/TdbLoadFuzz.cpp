// Fuzz target for the ".tdb" database loader: any bytes as a database file, then every lookup
// and every state function evaluation over the loaded records.
#include <cstdint>
#include <string>

#include "FuzzSupport.h"
#include "support/AplMsg.h"
#include "thermo/PXDatabase.h"
#include "thermo/StateFunctions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = ploxen::fuzz::WriteScratchFile(
      "Fuzz.tdb", std::string_view(reinterpret_cast<const char*>(data), size));
  ploxen::TAplMsgWnd log;
  ploxen::PXDatabase db(log);
  if (db.LoadDatabase(path) < 0) return 0;
  for (int r = 0; r < db.RecordCount(); ++r) {
    const std::string name(db.Field(r, ploxen::kFieldName));
    const std::string phase(db.Field(r, ploxen::kFieldPhase));
    for (double t : {1.0, 300.0, 5000.0}) db.FindDataset(name, phase, t);
    db.FindDataset(name, "(u)", 300.0);
    db.SelectDataset(r, true, name, phase, 300.0);
    db.MolDefinitionOf(name, phase);
    db.TemperatureRangeOf(name, phase);
    for (int k = 0; k <= ploxen::PXDatabase::kFieldCount; ++k) db.Field(r, k);
    for (int model = 0; model < ploxen::kFluidModelCount; ++model) {
      ploxen::StateFunctionRecord s;
      ploxen::StateFunctions(db, r, model, 10.0, 500.0, s);
      ploxen::StateFunctions(db, r, model, 1e-3, 1.5, s);
    }
  }
  return 0;
}

// Fuzz target for the reference file beside a database: any bytes as the ".ref" file of a
// small fixed database, read as the "Behaviour of System" window reads it (references, user
// elements, gas constant), then every record's references and molar mass.
#include <cstdint>
#include <fstream>
#include <sstream>
#include <string>

#include "FuzzSupport.h"
#include "chem/Periodica.h"
#include "support/AplMsg.h"
#include "support/AplStgs.h"
#include "support/ScriptedDialogs.h"
#include "thermo/TDynOprt.h"

namespace {

// The database the reference file belongs to, copied once into the scratch folder.
const std::string& DatabasePath() {
  static const std::string path = [] {
    std::ifstream in(PLOXEN_SOURCE_DIR "/tests/data/thermo/ranges.tdb", std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return ploxen::fuzz::WriteScratchFile("Fuzz.tdb", text.str());
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string& database = DatabasePath();
  ploxen::fuzz::WriteScratchFile("Fuzz.ref",
                                 std::string_view(reinterpret_cast<const char*>(data), size));
  ploxen::TAplMsgWnd log;
  ploxen::TAplStgsWnd settings(log);
  ploxen::Periodica elements;
  ploxen::ScriptedDialogs dialogs;
  ploxen::TTDynOprtWnd thermo(log, settings, elements, dialogs);
  thermo.OpenDatabase(database);
  thermo.ReadReferenceFile();
  const ploxen::PXDatabase& db = thermo.Database();
  for (int r = 0; r < db.RecordCount(); ++r) {
    thermo.ReferencesOf(r);
    elements.MolarMass(db.Field(r, ploxen::kFieldMolDefinition));
    for (int e = 0; e < elements.Size(); ++e)
      elements.ElementCount(elements.ElementSymbol(e), db.Field(r, ploxen::kFieldMolDefinition));
  }
  return 0;
}

// Fuzz target for the section store that holds settings files and equilibrium files: any
// bytes as a file, every section selected and every key looked up, a section replaced, the
// file saved and read back, which must give the same lines.
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzSupport.h"
#include "support/AplMsg.h"
#include "support/SectionStore.h"

namespace {

// Section names the program asks for, plus the ones the file itself names.
std::vector<std::string> SectionNames(const std::vector<std::string>& lines) {
  std::vector<std::string> names = {"*", "", "General", "History", "Reference", "Elements",
                                    "Constants", "System", "Gas1", "Solid3"};
  for (const std::string& line : lines) {
    if (!ploxen::SectionStore::IsHeader(line)) continue;
    const std::size_t open = line.find('['), close = line.rfind(']');
    if (open < close) names.push_back(line.substr(open + 1, close - open - 1));
    if (names.size() > 64) break;
  }
  return names;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string path = ploxen::fuzz::WriteScratchFile(
      "Fuzz.sys", std::string_view(reinterpret_cast<const char*>(data), size));
  ploxen::TAplMsgWnd log;
  ploxen::SectionStore store(log);
  if (store.Load(path) != 1) return 0;
  for (const std::string& name : SectionNames(store.Lines())) {
    store.SelectSection(name);
    for (const std::string& line : store.SectionLines()) {
      const std::size_t eq = line.find('=');
      if (eq != std::string::npos) store.GetValue(line.substr(0, eq));
    }
    store.GetValue("Database");
  }
  store.SelectSection("General");
  store.SectionLines().push_back("  Database=Fuzz.tdb");
  store.WriteSection("General");

  const std::string saved = ploxen::fuzz::ScratchFolder() + "/Saved.sys";
  store.SetNoBackup(true);
  if (store.Save(saved) != 1) return 0;
  ploxen::SectionStore again(log);
  ploxen::fuzz::Require(again.Load(saved) == 1, "a saved settings file loads again");
  ploxen::fuzz::Require(again.Lines() == store.Lines(), "a saved settings file keeps its lines");
  again.SelectSection("General");
  ploxen::fuzz::Require(again.GetValue("Database") == store.GetValue("Database"),
                        "a saved settings file keeps its values");
  return 0;
}

// Writing single keys of section `MainWnd` of the user settings file.
#include "app/UserSettings.h"

#include "chem/PTools.h"
#include "support/AplStgs.h"

namespace ploxen {
namespace {

// Selects `MainWnd` afresh: the store answers a second selection of the same name from its
// cache, which may hold another file's section.
void SelectMainWnd(TAplStgsWnd& settings) {
  settings.SelectSection("");
  settings.SelectSection(kMainWndSection);
}

}  // namespace

int WriteMainWndSetting(TAplStgsWnd& settings, const std::string& key, const std::string& value) {
  const std::string path = settings.UserSettingsPath();
  const int loaded = settings.Load(path);
  if (loaded < 0) return -1;
  if (loaded == 0) settings.Reset();  // a new file: nothing of the file loaded before
  SelectMainWnd(settings);
  std::vector<std::string>& lines = settings.Store().SectionLines();
  const std::string line = "  " + key + "=" + value;
  bool replaced = false;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string text = Trim(lines[i]);
    if (text.compare(0, key.size() + 1, key + "=") == 0) {
      lines[i] = line;
      replaced = true;
      break;
    }
  }
  if (!replaced) lines.push_back(line);
  settings.WriteSection(kMainWndSection);
  return settings.Save(path) == 1 ? 1 : -1;
}

std::string ReadMainWndSetting(TAplStgsWnd& settings, const std::string& key) {
  if (settings.Load(settings.UserSettingsPath()) != 1) return std::string();
  SelectMainWnd(settings);
  return Trim(settings.GetValue(key));
}

}  // namespace ploxen

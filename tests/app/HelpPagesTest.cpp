// The shipped help: the index the settings name, the guide beside it, and every local link and
// picture of every page resolving to a file.
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include <gtest/gtest.h>

#include "app/ParamPanel.h"
#include "chem/PTools.h"
#include "support/FileIO.h"

namespace ploxen::test {
namespace {

namespace fs = std::filesystem;
const fs::path kHelp = fs::path(PLOXEN_SOURCE_DIR) / "help";

/// The values of every attribute `name="..."` in an HTML text (names in lower case).
std::vector<std::string> Attributes(const std::string& text, const std::string& name) {
  std::vector<std::string> values;
  const std::string key = " " + name + "=\"";
  for (size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1)) {
    const size_t begin = at + key.size();
    const size_t end = text.find('"', begin);
    if (end == std::string::npos) break;
    values.push_back(text.substr(begin, end - begin));
  }
  return values;
}

TEST(HelpPages, TheConfiguredIndexLeadsToTheGuide) {
  std::string sys;
  ASSERT_EQ(ReadFileBytes((fs::path(PLOXEN_SOURCE_DIR) / "data/Ploxen.sys").string(), sys), 1);
  const size_t at = sys.find("HelpIndex=");
  ASSERT_NE(at, std::string::npos);
  const std::string value = Trim(sys.substr(at + 10, sys.find('\n', at) - at - 10));
  // The settings file lies in the program folder <root>/bin; the index is relative to it.
  const std::string index = ResolvePath((fs::path(PLOXEN_SOURCE_DIR) / "bin").string(), value);
  EXPECT_TRUE(fs::is_regular_file(index)) << index;
  const HelpPage page = TParamPanel::HelpStartPage(index);
  EXPECT_TRUE(fs::is_regular_file(page.location)) << page.location;
}

TEST(HelpPages, EveryLocalLinkAndPictureExists) {
  int pages = 0, links = 0;
  for (const auto& e : fs::recursive_directory_iterator(kHelp)) {
    if (e.path().extension() != ".html") continue;
    ++pages;
    std::string text;
    ASSERT_EQ(ReadFileBytes(e.path().string(), text), 1);
    const std::vector<std::string> ids = Attributes(text, "id");
    const std::set<std::string> anchors(ids.begin(), ids.end());
    std::vector<std::string> targets = Attributes(text, "href");
    for (const std::string& src : Attributes(text, "src")) targets.push_back(src);
    for (const std::string& target : targets) {
      if (target.find("://") != std::string::npos || target.rfind("mailto:", 0) == 0) continue;
      ++links;
      const size_t hash = target.find('#');
      const std::string file = target.substr(0, hash);
      if (file.empty()) {
        EXPECT_TRUE(anchors.count(target.substr(hash + 1))) << e.path() << ": " << target;
        continue;
      }
      EXPECT_TRUE(fs::is_regular_file(e.path().parent_path() / file)) << e.path() << ": " << target;
    }
  }
  EXPECT_GE(pages, 2);
  EXPECT_GT(links, 10);
}

}  // namespace
}  // namespace ploxen::test

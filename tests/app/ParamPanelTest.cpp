// The parameter panel and the tools menu as a model: the parameter string "Make ->" builds, the
// launcher "Save as Link ->" writes, the folder "Projects" opens and the page "Help" opens.
#include <sys/stat.h>

#include <fstream>

#include <gtest/gtest.h>

#include "AppFixture.h"
#include "app/CalcStartOptions.h"
#include "support/Platform.h"

namespace ploxen::test {
namespace {

constexpr const char* kProgram = "/opt/ploxen bin/ploxen";

class ParamPanel : public AppFixture {
 protected:
  std::unique_ptr<TPloxen> Desk() {
    auto p = Start({});
    TPloxen* raw = p.get();
    p->xls.bookNotification = [raw](int code) { raw->main.OnBookNotification(code); };
    p->main.programPath = kProgram;
    p->settings.SetDesktopFolder((dir / "desk").string());
    return p;
  }
  // Opens a copy of an example, kept in a folder whose name has a blank.
  std::string OpenExample(TPloxen& p, const std::string& name) {
    fs::create_directories(dir / "My Books");
    const fs::path path = dir / "My Books" / (name + ".xlsx");
    fs::rename(Example(name), path);
    p.xls.StartExcel();
    EXPECT_GT(p.xls.OpenBook(path.string()), 0);
    p.xls.ListBooks(1);
    return path.string();
  }
  static std::string Arguments(const TPloxen& p) {
    const std::string& prm = p.main.EditPrm;
    EXPECT_EQ(prm.rfind(kProgram, 0), 0u) << prm;
    return prm.substr(std::string(kProgram).size());
  }
  std::vector<fs::path> FilesIn(const fs::path& folder) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(folder, ec)) files.push_back(e.path());
    return files;
  }
};

TEST_F(ParamPanel, MakeGivesAStringTheParserReadsBack) {
  auto p = Desk();
  const std::string path = OpenExample(*p, "Combustion");
  ASSERT_EQ(p->main.SelectedSheet(), "System");
  ASSERT_TRUE(p->params.ChkSw);  // ticked by default
  ASSERT_TRUE(p->params.BtnMakeClick());
  const ParameterOptions o = SplitParameters(Arguments(*p));
  EXPECT_EQ(o.Text(kOptBook), path);  // the blank inside the folder name survives
  EXPECT_EQ(o.Text(kOptSheet), "System");
  EXPECT_TRUE(o.Has(kOptStay));
  EXPECT_EQ(p->params.CopyText(), p->main.EditPrm);

  p->params.ChkSw = false;
  ASSERT_TRUE(p->params.BtnMakeClick());
  EXPECT_FALSE(SplitParameters(Arguments(*p)).Has(kOptStay));
}

TEST_F(ParamPanel, MakeWithoutConditionSheetsGivesOnlyTheBook) {
  auto p = Desk();
  const std::string path = OpenExample(*p, "Combustion");
  p->main.CbxCond.clear();
  p->main.CbxCondIndex = -1;
  ASSERT_TRUE(p->params.BtnMakeClick());
  EXPECT_EQ(p->main.EditPrm, std::string(kProgram) + " -x: " + path + " -s:");
  p->params.ChkSw = false;
  ASSERT_TRUE(p->params.BtnMakeClick());
  EXPECT_EQ(p->main.EditPrm, std::string(kProgram) + " -x: " + path);
}

TEST_F(ParamPanel, MakeWithoutABookPostsAndKeepsTheString) {
  auto p = Desk();
  p->main.EditPrm = "kept";
  EXPECT_FALSE(p->params.BtnMakeClick());
  EXPECT_TRUE(Posted(*p, 712));
  EXPECT_EQ(p->main.EditPrm, "kept");
}

TEST_F(ParamPanel, SaveAsLinkUsesTheProposedNameInTheFolderChosen) {
  auto p = Desk();
  OpenExample(*p, "Combustion");
  ASSERT_TRUE(p->params.BtnMakeClick());
  fs::create_directories(dir / "links");
  p->dialogs.QueueFileName((dir / "links" / "Foo").string());
  EXPECT_EQ(p->params.BtnSaveLnkClick(p->dialogs), 1);
  const DialogRequest& asked = p->dialogs.Requests().back();
  EXPECT_EQ(asked.text, "Save Link as ...");
  EXPECT_EQ(asked.file.fileName, "EquilibriumCombustion.desktop");
  const fs::path link = dir / "links" / "EquilibriumCombustion.desktop";
  EXPECT_EQ(p->params.LastLink(), link.string());
  EXPECT_EQ(FilesIn(dir / "links"), std::vector<fs::path>{link});  // nothing named Foo
  const std::string text = FileBytes(link.string());
  // The arguments begin after the program path, with the blank before "-x:" trimmed away.
  EXPECT_NE(text.find("\nExec=\"/opt/ploxen bin/ploxen\" \"-x: "), std::string::npos) << text;
  EXPECT_NE(text.find("\nPath=/opt/ploxen bin\n"), std::string::npos) << text;
}

TEST_F(ParamPanel, SaveAsLinkCancelledWritesNothing) {
  auto p = Desk();
  OpenExample(*p, "Combustion");
  EXPECT_EQ(p->params.BtnSaveLnkClick(p->dialogs), 0);  // no answer queued: cancelled
  EXPECT_FALSE(fs::exists(dir / "desk"));
  EXPECT_FALSE(Posted(*p, TParamPanel::kLinkFailed));
}

TEST_F(ParamPanel, SaveAsLinkIntoAFolderThatCannotBeWrittenPostsAndLeavesNoFile) {
  auto p = Desk();
  OpenExample(*p, "Combustion");
  ASSERT_TRUE(p->params.BtnMakeClick());
  // A folder below a plain file cannot exist; a read-only folder cannot take a file (root may
  // write anywhere, so the process file system stands in for it then).
  std::ofstream(dir / "plain") << "x";
  fs::create_directories(dir / "locked");
  ::chmod((dir / "locked").c_str(), 0500);
  const fs::path locked = ::geteuid() == 0 ? fs::path("/proc/self") : dir / "locked";
  for (const fs::path& folder : {dir / "plain" / "sub", locked}) {
    p->log.Clear();
    p->dialogs.QueueFileName((folder / "Foo.desktop").string());
    EXPECT_EQ(p->params.BtnSaveLnkClick(p->dialogs), -1) << folder;
    EXPECT_NE(TextOf(*p, TParamPanel::kLinkFailed).find(folder.string()), std::string::npos);
  }
  EXPECT_TRUE(FilesIn(dir / "locked").empty());  // no temporary file left behind
  ::chmod((dir / "locked").c_str(), 0700);
}

TEST_F(ParamPanel, ProjectsOpensTheBookFolderElseTheConfiguredElseTheProgramFolder) {
  auto p = Desk();
  EXPECT_EQ(p->params.ProjectsFolder(""), "/opt/ploxen bin");  // no book, no initial folder
  EXPECT_EQ(p->params.ProjectsFolder((dir / "missing").string()), "/opt/ploxen bin");
  EXPECT_EQ(p->params.ProjectsFolder(dir.string()), dir.string());
  OpenExample(*p, "Combustion");
  EXPECT_EQ(p->params.ProjectsFolder(dir.string()), (dir / "My Books").string());
}

TEST_F(ParamPanel, HelpOpensKestrBesideTheIndex) {
  EXPECT_EQ(TParamPanel::HelpStartPage("").location, "");
  const HelpPage file = TParamPanel::HelpStartPage("/usr/Lib/Ploxen/Help/Index.html");
  EXPECT_EQ(file.location, "/usr/Lib/Ploxen/Help/Kestr/index.html");  // the case is kept
  EXPECT_FALSE(file.web);
  const HelpPage web = TParamPanel::HelpStartPage("HTTP://example.org/docs/start.html");
  EXPECT_TRUE(web.web);
  EXPECT_EQ(web.location, "HTTP://example.org/docs/Kestr/index.html");
  EXPECT_EQ(TParamPanel::HelpStartPage("http://example.org").location,
            "http://example.org/Kestr/index.html");
}

TEST_F(ParamPanel, ToolItemsAreEnabledOnlyForProgramsBesideTheExecutable) {
  const std::string saved = ProgramFolder();
  fs::create_directories(dir / "bin");
  SetProgramFolder((dir / "bin").string());
  std::ofstream(dir / "bin" / "Quorrath") << "#!/bin/sh\n";
  ::chmod((dir / "bin" / "Quorrath").c_str(), 0755);
  auto p = Desk();
  const std::vector<CompanionItem> items = p->params.ToolItems();
  SetProgramFolder(saved);
  ASSERT_EQ(items.size(), 4u);
  EXPECT_EQ(items[0].path, "");
  EXPECT_EQ(items[1].path, (dir / "bin" / "Quorrath").string());
  EXPECT_EQ(items[2].path, "");
  EXPECT_EQ(items[3].path, "");
}

}  // namespace
}  // namespace ploxen::test

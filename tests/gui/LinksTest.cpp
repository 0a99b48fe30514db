// The parameter panel on the desktop: opened and closed, "Make ->" and "Copy", and the launcher
// of "Save as Link ->" parsed back as a desktop would read it and run.
#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QFrame>
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QProcess>
#include <QPushButton>
#include <QToolButton>
#include <fstream>
#include <sstream>

#include "GuiFixture.h"
#include "app/CalcStartOptions.h"
#include "app/CalcStartView.h"
#include "app/ParamPanelView.h"

namespace ploxen::test {
namespace {

/// The value of `key=` in the [Desktop Entry] group, its string escapes undone.
std::string EntryValue(const std::string& text, const std::string& key) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    if (line.rfind(key + "=", 0) != 0) continue;
    const std::string raw = line.substr(key.size() + 1);
    std::string value;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (raw[i] != '\\' || i + 1 == raw.size()) {
        value += raw[i];
        continue;
      }
      const char c = raw[++i];
      value += c == 's' ? ' ' : c == 'n' ? '\n' : c == 't' ? '\t' : c == 'r' ? '\r' : c;
    }
    return value;
  }
  return "<no " + key + ">";
}

/// The arguments of an Exec= value: blanks separate them, double quotes group them, and inside
/// quotes a backslash escapes '"', '`', '$' and '\'; "%%" is a percent sign.
std::vector<std::string> ExecArguments(const std::string& exec) {
  std::vector<std::string> args;
  std::string current;
  bool quoted = false, any = false;
  for (size_t i = 0; i < exec.size(); ++i) {
    const char c = exec[i];
    if (quoted && c == '\\' && i + 1 < exec.size()) {
      current += exec[++i];
    } else if (c == '"') {
      quoted = !quoted;
      any = true;
    } else if (c == '%' && i + 1 < exec.size() && exec[i + 1] == '%') {
      current += '%';
      ++i;
    } else if (c == ' ' && !quoted) {
      if (any || !current.empty()) args.push_back(current);
      current.clear();
      any = false;
    } else {
      current += c;
    }
  }
  if (any || !current.empty()) args.push_back(current);
  return args;
}

class Links : public GuiFixture {
 protected:
  // A copy of Combustion.xlsx in a folder whose name holds a blank, a "$" and a "%".
  std::string OpenCombustion(DesktopSession& s) {
    const fs::path folder = dir / "My $Books 100%";
    fs::create_directories(folder);
    const fs::path path = folder / "Combustion.xlsx";
    fs::rename(Example("Combustion"), path);
    s.main->OpenFile(path.string());
    return path.string();
  }
  // A stand-in for the program that writes each argument and its working folder to a file.
  std::string StandIn() {
    fs::create_directories(dir / "stand in");
    const fs::path program = dir / "stand in" / "ploxen";
    std::ofstream(program) << "#!/bin/sh\npwd > \"$0.args\"\nfor a in \"$@\"; do\n"
                              "  printf '%s\\n' \"$a\" >> \"$0.args\"\ndone\n";
    fs::permissions(program, fs::perms::owner_all);
    return program.string();
  }
};

TEST_F(Links, PanelOpensAndClosesWithItsTwoButtons) {
  DesktopSession& s = Start();
  TParamPanelView* panel = s.main->ParamPanel();
  QFrame* frame = panel->findChild<QFrame*>("PnlParam");
  ASSERT_NE(frame, nullptr);
  EXPECT_TRUE(frame->isHidden());  // collapsed at start-up
  EXPECT_FALSE(panel->BtnExpand()->isHidden());
  EXPECT_TRUE(panel->BtnCollaps()->isHidden());
  EXPECT_TRUE(panel->ChkSw()->isChecked());
  panel->BtnExpand()->click();
  EXPECT_FALSE(frame->isHidden());
  EXPECT_TRUE(panel->BtnExpand()->isHidden());
  EXPECT_GE(s.main->minimumHeight(), 250);
  EXPECT_EQ(s.main->height(), s.main->minimumHeight());
  panel->BtnCollaps()->click();
  EXPECT_TRUE(frame->isHidden());
  EXPECT_GE(s.main->minimumHeight(), 175);
  EXPECT_LT(s.main->minimumHeight(), 250 + 1);
}

TEST_F(Links, MakeShowsTheStringAndCopyPutsItOnTheClipboard) {
  DesktopSession& s = Start();
  const std::string path = OpenCombustion(s);
  TParamPanelView* panel = s.main->ParamPanel();
  panel->ChkSw()->setChecked(false);
  panel->BtnMake()->click();
  const QString shown = panel->EditPrm()->text();
  const std::string program = s.p->main.programPath;
  ASSERT_EQ(shown.toStdString().rfind(program + " -x: ", 0), 0u) << shown.toStdString();
  const ParameterOptions o = SplitParameters(shown.toStdString().substr(program.size()));
  EXPECT_EQ(o.Text(kOptBook), path);
  EXPECT_EQ(o.Text(kOptSheet), "System");
  EXPECT_FALSE(o.Has(kOptStay));
  panel->BtnCopy()->click();
  EXPECT_EQ(QApplication::clipboard()->text(), shown);
}

TEST_F(Links, TheSavedLauncherRunsTheParameterString) {
  DesktopSession& s = Start();
  s.p->main.programPath = StandIn();
  const std::string path = OpenCombustion(s);
  TParamPanelView* panel = s.main->ParamPanel();
  panel->BtnMake()->click();
  fs::create_directories(dir / "links");
  dialogs.QueueFileName((dir / "links" / "typed name.desktop").string());
  panel->BtnSaveLnk()->click();
  const fs::path link = dir / "links" / "EquilibriumCombustion.desktop";
  ASSERT_TRUE(fs::exists(link));
  std::ifstream in(link);
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(text.rfind("[Desktop Entry]\n", 0), 0u);
  EXPECT_EQ(EntryValue(text, "Type"), "Application");
  EXPECT_EQ(EntryValue(text, "Name"), "EquilibriumCombustion");

  const std::vector<std::string> exec = ExecArguments(EntryValue(text, "Exec"));
  ASSERT_EQ(exec.size(), 2u) << EntryValue(text, "Exec");
  EXPECT_EQ(exec[0], s.p->main.programPath);
  QStringList arguments;
  for (size_t i = 1; i < exec.size(); ++i) arguments << QString::fromStdString(exec[i]);
  QProcess run;
  run.setWorkingDirectory(QString::fromStdString(EntryValue(text, "Path")));
  run.start(QString::fromStdString(exec[0]), arguments);
  ASSERT_TRUE(run.waitForFinished(10000));
  EXPECT_EQ(run.exitCode(), 0);

  std::ifstream recorded(s.p->main.programPath + ".args");
  std::string folder, joined, line;
  std::getline(recorded, folder);
  while (std::getline(recorded, line)) joined += line + " ";
  EXPECT_EQ(folder, (dir / "stand in").string());
  // The program joins its arguments into the parameter string it runs.
  const ParameterOptions o = SplitParameters(joined);
  EXPECT_EQ(o.Text(kOptBook), path);
  EXPECT_EQ(o.Text(kOptSheet), "System");
  EXPECT_TRUE(o.Has(kOptStay));
}

TEST_F(Links, ALinkThatCannotBeWrittenIsReported) {
  DesktopSession& s = Start();
  OpenCombustion(s);
  std::ofstream(dir / "plain") << "x";
  dialogs.QueueFileName((dir / "plain" / "sub" / "x.desktop").string());
  s.main->ParamPanel()->BtnSaveLnk()->click();
  EXPECT_TRUE(Posted(TParamPanel::kLinkFailed));
  EXPECT_TRUE(s.p->params.LastLink().empty());
}

TEST_F(Links, ToolsMenuHoldsFourProgramsAndProjects) {
  DesktopSession& s = Start();
  QMenu* tools = s.main->ToolsMenu();
  ASSERT_NE(tools, nullptr);
  EXPECT_EQ(tools->title(), "External Database Applications");
  QStringList captions;
  for (QAction* a : tools->actions()) {
    if (!a->isSeparator()) captions << a->text();
  }
  ASSERT_EQ(captions.size(), 5);
  EXPECT_EQ(captions.back(), "Projects");
  EXPECT_TRUE(s.main->Command("MnuProjects")->isEnabled());
  for (int k = 1; k <= 4; ++k) {  // none of them lies beside the test program
    EXPECT_FALSE(s.main->Command("MnuTool" + std::to_string(k))->isEnabled());
  }
}

}  // namespace
}  // namespace ploxen::test

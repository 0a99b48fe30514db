// The visualisation model: loading the visual sheet, moving fields, saving positions, data
// input, pictures and the refresh after calculations.
#include <gtest/gtest.h>

#include "VisualBook.h"
#include "visual/PresView.h"

namespace ploxen::test {
namespace {

using VisualSheet = VisualBook;

TEST_F(VisualSheet, LoadPlacesFieldsWindowFontAndPicture) {
  WriteFile("visual.png", PngHeader());
  MakeBook(TemplateRows());
  TPresViewWnd& v = p->visual;
  v.Refresh();
  EXPECT_EQ(v.Caption, "Visualisation [Plant.xlsx]");
  const PresField& t = v.fields[1];
  EXPECT_TRUE(t.visible);
  EXPECT_EQ(t.text, "T [C]: 300");
  EXPECT_EQ(t.hint, "Temperature");
  EXPECT_FALSE(t.inputColour);
  EXPECT_EQ(t.left, 20);
  EXPECT_EQ(t.top, 40);
  EXPECT_EQ(t.width, 100);
  EXPECT_TRUE(v.fields[2].inputColour);  // "[Ctrl]" hint
  EXPECT_EQ(v.fields[2].height, 20);
  // Fields come in groups (field 1 brings 1..17), hidden until a row names them.
  EXPECT_TRUE(v.fields[17].exists);
  EXPECT_FALSE(v.fields[17].visible);
  EXPECT_FALSE(v.fields[18].exists);
  EXPECT_EQ(v.window.width, 600);
  EXPECT_EQ(v.fontName, "DejaVu Sans");
  EXPECT_EQ(v.fontSize, 9);
  EXPECT_EQ(v.pictureFile, (dir / "visual.png").string());
  EXPECT_EQ(v.StatusPanel[3], v.pictureFile);
  EXPECT_FALSE(v.firstLoad);
}

TEST_F(VisualSheet, OutOfRangeFieldNumbersAreSkippedAndARepeatedFieldIsReported) {
  MakeBook({{"visual"},
            {"0", "zero", "0"},
            {"97", "high", "97"},
            {"-3", "minus"},
            {"5", "first", "1", "", "10", "10"},
            {"5", "second", "2", "", "30", "40"},
            {"EOT"},
            {"6", "below EOT", "x"}});
  TPresViewWnd& v = p->visual;
  v.Refresh();
  int visible = 0;
  for (const PresField& f : v.fields) visible += f.visible ? 1 : 0;
  EXPECT_EQ(visible, 1);
  EXPECT_EQ(v.fields[5].text, "second 2");
  EXPECT_EQ(v.fields[5].left, 30);
  EXPECT_FALSE(v.fields[6].visible);  // rows after "EOT" are not read
  EXPECT_EQ(Posted(221), std::vector<std::string>{"Field:5 used 2 time"});
}

TEST_F(VisualSheet, WithoutGetPositionOnlyTextsChange) {
  WriteFile("visual.png", PngHeader());
  MakeBook(TemplateRows());
  TPresViewWnd& v = p->visual;
  v.Refresh();
  v.DragField(1, 200, 150);
  fs::remove(dir / "visual.png");
  server->SetCellValue(system, 2, 2, "450");
  server->SetCellValue(visual, 4, 2, "Serif");
  v.MnuGetPosition = false;
  v.Refresh();
  EXPECT_EQ(v.fields[1].text, "T [C]: 450");
  EXPECT_EQ(v.fields[1].left, 200);
  EXPECT_EQ(v.fields[1].top, 150);
  EXPECT_EQ(v.fontName, "DejaVu Sans");
  EXPECT_EQ(v.pictureFile, (dir / "visual.png").string());
  EXPECT_TRUE(Posted(453).empty());
  // The refresh after a calculation works the same way and leaves the option as it was.
  v.MnuGetPosition = true;
  server->SetCellValue(system, 2, 2, "500");
  v.RefreshAfterCalculation();
  EXPECT_TRUE(v.MnuGetPosition);
  EXPECT_EQ(v.fields[1].text, "T [C]: 500");
  EXPECT_EQ(v.fields[1].left, 200);
  // The main window naming the same sheet again (it lists its books after each run) keeps
  // the moved field; another sheet is loaded with its positions.
  v.windowOpen = true;
  v.UseSheetOf(p->xls.ProgId, "Plant.xlsx", "Visual");
  EXPECT_EQ(v.fields[1].left, 200);
  v.UseSheetOf(p->xls.ProgId, "Plant.xlsx", "System");
  EXPECT_EQ(v.visualSheetName, "System");
  EXPECT_FALSE(v.fields[1].visible);
}

TEST_F(VisualSheet, WindowRowIsCorrectedAndAppliedOnlyOnTheFirstLoad) {
  MakeBook({{"visual"}, {"W", "", "", "", "-10", "5000", "0", "300"}, {"EOT"}});
  TPresViewWnd& v = p->visual;
  v.window = {50, 50, 640, 480};
  v.Refresh();
  EXPECT_EQ(v.window.left, 0);
  EXPECT_EQ(v.window.top, 0);  // beyond the screen height
  EXPECT_EQ(v.window.width, 640);  // 0 keeps the width
  EXPECT_EQ(v.window.height, 300);
  v.WindowChanged({100, 120, 700, 500});
  EXPECT_EQ(v.StatusPanel[0], "Window Pos.");
  v.Refresh();
  EXPECT_EQ(v.window.left, 100);
  v.Closed();
  v.Refresh();
  EXPECT_EQ(v.window.left, 0);
}

TEST_F(VisualSheet, MissingSheetIsReportedAndResetsTheWindow) {
  MakeBook(TemplateRows());
  TPresViewWnd& v = p->visual;
  v.Refresh();
  EXPECT_EQ(v.SetVisualSheet("Nowhere"), 0);
  EXPECT_EQ(Posted(428),
            std::vector<std::string>{"Access to sheet[Nowhere] is not posible visualisation"});
  EXPECT_TRUE(v.visualSheetName.empty());
  v.Refresh();
  EXPECT_EQ(v.Caption, "Visualisation ");
  EXPECT_EQ(v.fields[1].text, "visual");
  EXPECT_EQ(v.fields[1].left, 1);
  EXPECT_FALSE(v.fields[2].visible);
  EXPECT_TRUE(v.pictureFile.empty());
  EXPECT_EQ(v.SetVisualSheet(""), 0);
  EXPECT_EQ(Posted(428).size(), 1u);  // an empty name only clears
}

TEST_F(VisualSheet, PicturesThatCannotBeShownArePostedAndDropped) {
  WriteFile("notes.jpg", "this is a text file, not a picture");
  {
    std::FILE* f = std::fopen((dir / "huge.jpg").c_str(), "wb");
    std::fwrite("\xFF\xD8\xFF", 1, 3, f);
    std::fclose(f);
    fs::resize_file(dir / "huge.jpg", 100u * 1024u * 1024u);  // sparse: costs no disk
  }
  SheetRows rows = TemplateRows();
  MakeBook(rows);
  TPresViewWnd& v = p->visual;
  for (const char* name : {"missing.bmp", "notes.jpg", "huge.jpg"}) {
    server->SetCellValue(visual, 3, 2, name);
    v.Refresh();
    EXPECT_TRUE(v.pictureFile.empty()) << name;
  }
  const std::vector<std::string> texts = Posted(453);
  ASSERT_EQ(texts.size(), 3u);
  EXPECT_EQ(texts[0], (dir / "missing.bmp").string() + ":the visual image file can not be open/found ");
  // A folder written with "\" resolves like one with "/".
  fs::create_directories(dir / "pics");
  WriteFile("pics/plant.svg", "<?xml version=\"1.0\"?>\n<svg xmlns=\"http://www.w3.org/2000/svg\"/>");
  server->SetCellValue(visual, 3, 2, "pics\\plant.svg");
  v.Refresh();
  EXPECT_EQ(v.pictureFile, (dir / "pics" / "plant.svg").string());
  // "Picture" ignores what is not a picture and keeps the one in use.
  EXPECT_FALSE(v.ChoosePicture((dir / "notes.jpg").string()));
  EXPECT_FALSE(v.ChoosePicture((dir / "huge.jpg").string()));
  EXPECT_EQ(v.pictureFile, (dir / "pics" / "plant.svg").string());
  EXPECT_EQ(Posted(453).size(), 3u);
}

TEST_F(VisualSheet, TenThousandRowsLoad) {
  SheetRows rows = {{"visual"}};
  for (int r = 2; r < 10000; ++r) rows.push_back({"note " + std::to_string(r), "x"});
  rows.push_back({"96", "last", "=9*9", "", "5", "6"});
  MakeBook(rows);
  TPresViewWnd& v = p->visual;
  v.Refresh();
  EXPECT_TRUE(v.fields[96].visible);
  EXPECT_EQ(v.fields[96].text, "last 81");
  EXPECT_EQ(v.fields[96].top, 6);
}

TEST_F(VisualSheet, SavePositionsStopsAtRoAndAtEot) {
  MakeBook({{"visual"},
            {"W", "", "", "", "1", "1", "1", "1"},
            {"1", "a", "1", "", "5", "5", "50", "10"},
            {"2", "b", "2", "", "5", "25", "50", "10"},
            {"3", "c", "3", "", "5", "45", "50", "10"},
            {"ro"},
            {"3", "c again", "3", "", "7", "7", "7", "7"},
            {"EOT"}});
  TPresViewWnd& v = p->visual;
  v.Refresh();
  v.WindowChanged({30, 40, 500, 350});
  v.MoveField(1, -100, 3);  // never below 0
  v.SizeField(1, -100, 2);  // never below 4
  v.HideField(2);
  EXPECT_EQ(v.SavePositions(), 4);
  EXPECT_EQ(Cell(2, 5), "30");
  EXPECT_EQ(Cell(2, 8), "350");
  EXPECT_EQ(Cell(3, 5), "0");
  EXPECT_EQ(Cell(3, 6), "8");
  EXPECT_EQ(Cell(3, 7), "4");
  EXPECT_EQ(Cell(4, 5), "-1");
  EXPECT_EQ(Cell(4, 6), "25");  // a hidden field keeps its other cells
  EXPECT_EQ(Cell(7, 5), "7");   // below "ro"
  // Without "ro" the walk ends at "EOT" and leaves the rows below it alone.
  server->SetCellValue(visual, 6, 1, "note");
  server->SetCellValue(visual, 9, 1, "1");
  server->SetCellValue(visual, 9, 5, "keep");
  v.MoveField(3, 5, 0);  // placed by its second row at 7
  EXPECT_EQ(v.SavePositions(), 5);
  EXPECT_EQ(Cell(5, 5), "12");
  EXPECT_EQ(Cell(7, 5), "12");
  EXPECT_EQ(Cell(9, 5), "keep");
}

TEST_F(VisualSheet, DataInputWritesColumnCOnlyWhereColumnIPermitsIt) {
  MakeBook(TemplateRows());
  TPresViewWnd& v = p->visual;
  v.Refresh();
  EXPECT_EQ(v.DataInput(1, "T [C]: = 20"), 0);
  EXPECT_EQ(v.StatusPanel[0], " Data input is not permitted!");
  EXPECT_EQ(v.StatusPanel[1], " Enter [I][5]=\"x\" to enable Data Input");
  EXPECT_EQ(v.DataInput(2, "P [bar]: 5"), 0);
  EXPECT_EQ(v.StatusPanel[0], "Use \" = {value}\" to enable Data Input of {value}");
  EXPECT_EQ(Cell(6, 3), "1");
  EXPECT_EQ(v.DataInput(2, "P [bar]: = 5 = 6 "), 1);
  EXPECT_EQ(Cell(6, 3), "5 = 6");
  EXPECT_EQ(v.StatusPanel[0], "5 = 6 entered");
  EXPECT_EQ(v.DataInput(2, "P [bar]:=2.5"), 1);
  EXPECT_EQ(Cell(6, 3), "2.5");
  EXPECT_EQ(v.fields[2].text, "P [bar]: 2.5");  // refreshed
}

TEST_F(VisualSheet, FocusMovesOverVisibleFieldsOnly) {
  MakeBook({{"visual"}, {"1", "a"}, {"3", "c"}, {"4", "d"}, {"EOT"}});
  TPresViewWnd& v = p->visual;
  v.Refresh();
  v.HideField(3);
  EXPECT_EQ(v.NextVisibleField(1, 1), 4);
  EXPECT_EQ(v.NextVisibleField(4, -1), 1);
  EXPECT_EQ(v.NextVisibleField(1, -1), 1);
  v.SelectField(4);
  EXPECT_EQ(v.StatusPanel[0], "ID: 4");
  v.ShowAll(true);
  EXPECT_TRUE(v.fields[16].visible);
  v.ShowAll(false);
  EXPECT_FALSE(v.fields[1].visible);
}

TEST_F(VisualSheet, MainWindowScanAndCalculationChainRefreshTheOpenWindow) {
  const fs::path path = dir / "Combustion.xlsx";
  fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "examples" / "Combustion.xlsx", path);
  p->settings.SetDocumentsFolder(dir.string());
  p->xls.bookNotification = [this](int code) { p->main.OnBookNotification(code); };
  p->main.StartApplication({});
  ASSERT_GT(p->xls.OpenBook(path.string()), 0);
  p->xls.ListBooks(1);
  TPresViewWnd& v = p->visual;
  EXPECT_EQ(v.visualSheetName, "Visual");
  EXPECT_TRUE(v.MnuGetPosition);
  v.windowOpen = true;
  v.Refresh();
  std::vector<std::string> seen;
  auto refresh = p->calc.onCalculated;
  p->calc.onCalculated = [&] {
    refresh();
    seen.push_back(v.fields[1].text);
  };
  p->main.ButtonCalculate();
  ASSERT_TRUE(p->calc.calculationOk);
  // Every run of the chain showed its own temperature.
  ASSERT_GE(seen.size(), 2u);
  EXPECT_NE(seen.front(), seen.back());
  EXPECT_EQ(seen.back(), "T [C]: " + p->xls.ReadCell(p->xls.FindSheet("System"), 2, 2));
}

}  // namespace
}  // namespace ploxen::test

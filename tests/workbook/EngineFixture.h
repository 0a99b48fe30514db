// Test fixture: an engine with one open book "B.xlsx" and helpers that address cells in A1.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "workbook/EngineModel.h"

namespace ploxen {

class EngineFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    book = &engine.NewBook("B.xlsx", "/tmp/B.xlsx");
    s1 = book->SheetAt(0).Id();
    s2 = engine.AddSheet(book->Id(), "Sheet2")->Id();
  }

  static CellAddr At(const std::string& a1) {
    CellAddr a;
    EXPECT_TRUE(ParseA1(a1, a)) << a1;
    return a;
  }
  void Put(const std::string& a1, const std::string& text, SheetId sheet = 0) {
    CellAddr a = At(a1);
    engine.SetInput(sheet ? sheet : s1, a.row, a.col, text);
  }
  std::string Text(const std::string& a1, SheetId sheet = 0) {
    CellAddr a = At(a1);
    return engine.ValueString(sheet ? sheet : s1, a.row, a.col);
  }
  std::string Formula(const std::string& a1, SheetId sheet = 0,
                      FormulaSyntax syntax = FormulaSyntax::kA1) {
    CellAddr a = At(a1);
    return engine.FormulaText(sheet ? sheet : s1, a.row, a.col, syntax);
  }

  WorkbookEngine engine;
  Book* book = nullptr;
  SheetId s1 = 0;
  SheetId s2 = 0;
};

}  // namespace ploxen

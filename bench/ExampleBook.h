// Example workbooks for the benchmarks: a scratch copy, and an owner with the copy open as its
// process workbook.
#pragma once

#include <filesystem>
#include <string>

#include <unistd.h>

#include "app/Ploxen.h"
#include "process/XlsProcessWorkbook.h"

namespace ploxen::bench {

/// Copies examples/`name` into a scratch folder of this process; the copy's path.
inline std::filesystem::path ScratchExample(const std::string& name) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("ploxen_bench_" + std::to_string(::getpid()));
  fs::create_directories(dir);
  const fs::path book = dir / name;
  fs::copy_file(fs::path(PLOXEN_SOURCE_DIR) / "examples" / name, book,
                fs::copy_options::overwrite_existing);
  return book;
}

/// Opens `book` and makes its condition sheet "System" the driver's; false when it cannot open.
inline bool OpenForRun(TPloxen& p, XlsProcessWorkbook& workbook, const std::string& book) {
  p.log.SetFilter(0);
  if (p.xls.OpenBook(book) < 0) return false;
  p.calc.SetWorkbook(&workbook);
  p.calc.conditionSheet = p.xls.FindSheet("System");
  p.calc.messageBook = p.xls.BookName();
  p.calc.messageSheet = "System";
  return true;
}

}  // namespace ploxen::bench

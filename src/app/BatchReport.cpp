// The terminal report of a batch run.
#include "app/BatchReport.h"

#include <cstdio>

#include "app/Ploxen.h"
#include "app/ResultTable.h"

namespace ploxen {

void PrintBatchReport(TPloxen& p) {
  if (p.main.conditionSheet > 0 && p.calc.calculationOk) {
    std::fputs(ResultTable(p.calc).c_str(), stdout);
    std::fflush(stdout);
  }
  if (p.main.stay && p.main.conditionSheet > 0) {
    std::fputs("ploxen: the workbook was not saved (-s: or -r:)\n", stderr);
  }
}

}  // namespace ploxen

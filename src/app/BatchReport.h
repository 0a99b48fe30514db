// What a batch run prints in the terminal when it ends.
#pragma once

namespace ploxen {

class TPloxen;

/// The result table of a successful run on standard output, and a note on standard error when
/// the workbook was left unsaved on purpose ("-s:" or "-r:").
void PrintBatchReport(TPloxen& p);

}  // namespace ploxen

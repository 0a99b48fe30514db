// The system matrix grid as a table: the Lagrange table of an equilibrium run, select and copy.
#include "chem/PTools.h"
#include "linalg/LSolver.h"
#include "support/TablOprt.h"

namespace ploxen {

void TLSolverWnd::ShowLagrange(const std::vector<std::string>& symbols,
                               const std::vector<double>& lambda) {
  Caption = "Lagrange";
  SGLge.Resize(0, 0);
  SGLge.Resize(static_cast<int>(symbols.size()) + 1, 2);
  SGLge.SetCell(0, 0, "Element");
  SGLge.SetCell(0, 1, "Lagrange Coef.");
  for (std::size_t j = 0; j < symbols.size(); ++j) {
    const int col = static_cast<int>(j) + 1;
    SGLge.SetCell(col, 0, symbols[j]);
    if (j < lambda.size()) SGLge.SetCell(col, 1, FormatFloat8(lambda[j]));
  }
}

void TLSolverWnd::SelectAll() {
  SGLge.selection = GridRect{0, 0, SGLge.ColCount() - 1, SGLge.RowCount() - 1};
}

void TLSolverWnd::Copy() {
  const GridRect& s = SGLge.selection;
  table_.CopyRange(SGLge, s.left, s.top, s.right, s.bottom);
}

}  // namespace ploxen

// Table files come from users and other programs: any bytes must load
// without harm, and what loads must save and load again to the same cells
// when no cell mixes quotes and commas.
#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "catalogue/TableFile.h"
#include "widgets/GridData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  rix::GridData grid(3, 2);
  rix::ParseTableBytes(
      grid, QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
  bool plain = true;
  for (int r = 0; r < grid.rowCount() && plain; ++r)
    for (int c = 0; c < grid.colCount() && plain; ++c) {
      const QByteArrayView v = grid.cell(c, r);
      if (v.contains('"') || v.contains('\r') || v.contains('\x1a')) plain = false;
    }
  const QByteArray saved = rix::FormatTableBytes(grid);
  if (plain) {
    rix::GridData again(1, 2);
    rix::ParseTableBytes(again, QByteArray(saved));
    if (rix::FormatTableBytes(again) != saved) std::abort();
  }
  // Edits after a load go through the same arena.
  grid.setCell(0, 0, "edited");
  grid.insertRow(1);
  grid.sortRows(0, true, 1);
  (void)rix::FormatTableBytes(grid);
  return 0;
}

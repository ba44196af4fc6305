#pragma once

#include <QFont>
#include <vector>

class QPaintDevice;
class QPrinter;

namespace rix {

class GridData;

// Where a printed grid's cells go, in page units of 0.1 mm. Columns are
// placed from the left edge; those that fit across the page form a block,
// and each block is printed on pages of its own after the one before. Rows go
// down the page one line and a quarter line apart.
struct GridPrintLayout {
  struct Block {
    int first = 0;  // the block's columns are first .. end - 1
    int end = 0;
  };
  std::vector<int> colWidths;  // each column's widest text + 2 mm
  std::vector<Block> blocks;
  int lineHeight = 0;
  int rowPitch = 0;
  int rowsPerPage = 0;
  int pagesPerBlock = 0;

  int pageCount() const { return static_cast<int>(blocks.size()) * pagesPerBlock; }
};

// The layout of `rows` rows whose columns' widest texts are textWidths wide,
// on a printable area of pageWidth x pageHeight, all in 0.1 mm. A column
// wider than the page is a block of its own.
GridPrintLayout LayOutGridPrint(const std::vector<int>& textWidths, int rows, int pageWidth,
                                int pageHeight, int lineHeight);

// The layout of a whole grid, header row included, measured in `font` as
// drawn on `device`, on a printable area given in 0.1 mm.
GridPrintLayout MeasureGridPrint(const GridData& grid, const QFont& font,
                                 const QPaintDevice& device, int pageWidth, int pageHeight);

// "Times New Roman" 9 pt (through the font substitutions; Big5 text falls
// back on the Chinese face), kerning off so that texts measure by their
// characters' advances.
QFont GridPrintFont();

// Prints the whole grid as one job on a printer that the print dialog set
// up: no lines, headers, footers or page numbers. Throws FileError when the
// printer cannot be started.
void PrintGrid(const GridData& grid, QPrinter& printer);

}  // namespace rix

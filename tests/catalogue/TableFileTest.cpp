#include <gtest/gtest.h>

#include <QRandomGenerator>

#include "TestSupport.h"
#include "catalogue/TableFile.h"
#include "platform/FileError.h"
#include "widgets/GridData.h"
#include "widgets/StringGrid.h"

using namespace rix;

namespace {

// A cleared grid of two rows, as every caller prepares it.
GridData Parse(const QByteArray& bytes, int cols = 1) {
  GridData g(cols, 2);
  ParseTableBytes(g, QByteArray(bytes));
  return g;
}

QByteArray Cell(const GridData& g, int c, int r) { return g.cellBytes(c, r); }

}  // namespace

TEST(TableFileWrite, EmptyCellsCommasAndQuotes) {
  GridData g(3, 2);
  EXPECT_EQ(FormatTableBytes(g), QByteArray("\"\",\"\",\"\"\r\n\"\",\"\",\"\"\r\n"));
  g.setCell(0, 0, rixtest::Big5("名稱"));
  g.setCell(1, 0, rixtest::Big5("檔案"));
  g.setCell(2, 0, rixtest::Big5("說明"));
  g.setCell(0, 1, "Pac");
  g.setCell(2, 1, "a, b");
  const QByteArray out = FormatTableBytes(g);
  EXPECT_TRUE(out.endsWith("\r\nPac,\"\",\"a, b\"\r\n"));
  EXPECT_EQ(out.left(out.indexOf("\r\n")),
            rixtest::Big5("名稱") + "," + rixtest::Big5("檔案") + "," + rixtest::Big5("說明"));
  // A quote without a comma is written as it is; quotes are never doubled.
  g.setCell(0, 1, " \"x\" ");
  g.setCell(1, 1, "q\",r");
  EXPECT_TRUE(FormatTableBytes(g).endsWith("\r\n \"x\" ,\"q\",r\",\"a, b\"\r\n"));
}

TEST(TableFileRead, FieldsQuotesAndLastField) {
  // A cell with a comma reads back whole in the middle and at the end.
  GridData g = Parse("\"a, b\",x,\"a, b\"\r\n");
  EXPECT_EQ(Cell(g, 0, 0), "a, b");
  EXPECT_EQ(Cell(g, 1, 0), "x");
  EXPECT_EQ(Cell(g, 2, 0), "a, b");
  // A quote without a comma: unchanged in the middle, loses one quote at each end last.
  g = Parse("\"q\" x,\"q\"\r\n");
  EXPECT_EQ(Cell(g, 0, 0), "q");  // text after the closing quote is dropped
  g = Parse("a\"b,\"q\"\r\n");
  EXPECT_EQ(Cell(g, 0, 0), "a\"b");
  EXPECT_EQ(Cell(g, 1, 0), "q");
  // Text after a closing quote up to the comma is discarded.
  g = Parse(QByteArray::fromHex("226162226364 2c65").replace(' ', ""));
  EXPECT_EQ(Cell(g, 0, 0), "ab");
  EXPECT_EQ(Cell(g, 1, 0), "e");
  // A last field of one quote is an empty cell; a trailing comma sets none.
  g = Parse("a,\"\r\nb,\r\n");
  EXPECT_EQ(g.colCount(), 2);
  EXPECT_EQ(Cell(g, 1, 0), "");
  EXPECT_EQ(Cell(g, 0, 1), "b");
  // Doubled quotes collapse; the closing quote ends the first run of quotes.
  g = Parse("\"a\"\"\"\"b\",\"\"\"\"\"\"\r\n");
  EXPECT_EQ(Cell(g, 0, 0), "a\"");
  EXPECT_EQ(Cell(g, 1, 0), "\"");
  // An opening quote with no closing one gives an empty value up to the first comma.
  g = Parse("\"abc,def,g\r\n", 3);
  EXPECT_EQ(Cell(g, 0, 0), "");
  EXPECT_EQ(Cell(g, 1, 0), "def");
  EXPECT_EQ(Cell(g, 2, 0), "g");
}

TEST(TableFileRead, LinesCountsAndControlBytes) {
  // LF alone is an ordinary byte; CR, and CR LF, end lines.
  GridData g = Parse("a\nb,c\r\nd\re\r\n");
  EXPECT_EQ(g.rowCount(), 3);
  EXPECT_EQ(Cell(g, 0, 0), "a\nb");
  EXPECT_EQ(Cell(g, 0, 1), "d");
  EXPECT_EQ(Cell(g, 0, 2), "e");
  // Ctrl-Z ends the file; a last line without CR is read.
  g = Parse("x,y\r\nlast\x1Aignored\r\nmore");
  EXPECT_EQ(g.rowCount(), 2);
  EXPECT_EQ(Cell(g, 0, 1), "last");
  // Fewer fields leave the rest empty; more fields widen the grid.
  g = Parse("a,b\r\nc\r\nd,e,f,g\r\n", 2);
  EXPECT_EQ(g.colCount(), 4);
  EXPECT_EQ(g.rowCount(), 3);
  EXPECT_EQ(Cell(g, 1, 1), "");
  EXPECT_EQ(Cell(g, 3, 2), "g");
  // An empty file leaves the two empty rows; counts never shrink.
  g = Parse("", 8);
  EXPECT_EQ(g.rowCount(), 2);
  EXPECT_EQ(g.colCount(), 8);
  g = Parse("only\r\n", 8);
  EXPECT_EQ(g.rowCount(), 2);
  EXPECT_EQ(g.colCount(), 8);
  // Empty lines are rows; spaces stay.
  g = Parse("\r\n\r\n  x  \r\n");
  EXPECT_EQ(g.rowCount(), 3);
  EXPECT_EQ(Cell(g, 0, 2), "  x  ");
}

TEST(TableFileRead, ArbitraryBytesSurviveARoundTrip) {
  // Cells of any bytes except CR, Ctrl-Z and quote-comma mixes come back
  // byte for byte after a save and a load.
  QRandomGenerator rng(42);
  for (int trial = 0; trial < 50; ++trial) {
    const int cols = 1 + rng.bounded(6);
    const int rows = 2 + rng.bounded(8);
    GridData g(cols, rows);
    for (int r = 0; r < rows; ++r) {
      for (int c = 0; c < cols; ++c) {
        QByteArray cell;
        const int len = rng.bounded(12);
        for (int i = 0; i < len; ++i) {
          char b;
          do b = static_cast<char>(rng.bounded(256));
          while (b == '\r' || b == 26 || b == '"');
          cell.append(b);
        }
        g.setCell(c, r, cell);
      }
    }
    const QByteArray bytes = FormatTableBytes(g);
    GridData back(1, 2);
    ParseTableBytes(back, QByteArray(bytes));
    ASSERT_EQ(back.rowCount(), rows);
    for (int r = 0; r < rows; ++r)
      for (int c = 0; c < cols; ++c) ASSERT_EQ(Cell(back, c, r), Cell(g, c, r)) << trial;
    EXPECT_EQ(FormatTableBytes(back), bytes);
  }
}

TEST(TableFileRead, LoadingIntoAGridThatHoldsCells) {
  // Cells loaded over a grid that already holds text replace it; what the
  // file does not reach stays.
  GridData g(3, 3);
  g.setCell(2, 2, "keep");
  g.setCell(0, 0, "old");
  ParseTableBytes(g, QByteArray("new,\"x,y\"\r\n"));
  EXPECT_EQ(Cell(g, 0, 0), "new");
  EXPECT_EQ(Cell(g, 1, 0), "x,y");
  EXPECT_EQ(Cell(g, 2, 2), "keep");
  g.setCell(1, 0, "changed");
  EXPECT_EQ(Cell(g, 1, 0), "changed");
  EXPECT_EQ(Cell(g, 0, 0), "new");
}

TEST(TableFile, FilesLoadAndSaveThroughTheGrid) {
  rixtest::ScratchDir d;
  const QByteArray bytes = "h1,h2\r\n" + rixtest::Big5("遊戲") + ",\"a, b\"\r\n";
  ASSERT_TRUE(rixtest::WriteAll(d.file("t.lst"), bytes));
  StringGrid grid;
  grid.clearCells();
  grid.setRowCount(2);
  LoadTableFile(grid, d.file("t.lst"));
  EXPECT_EQ(grid.cell(1, 1).toByteArray(), "a, b");
  SaveTableFile(grid.data(), d.file("out.lst"));
  // The grid had five columns before the load: the file keeps all of them.
  EXPECT_EQ(rixtest::ReadAll(d.file("out.lst")),
            "h1,h2,\"\",\"\",\"\"\r\n" + rixtest::Big5("遊戲") + ",\"a, b\",\"\",\"\",\"\"\r\n");
  try {
    LoadTableFile(grid, d.file("missing.lst"));
    FAIL();
  } catch (const FileError& e) {
    EXPECT_EQ(e.text(), QStringLiteral("找不到檔案"));
  }
}

TEST(TableFile, AReadFailingPartWayKeepsTheWholeLinesReadBeforeIt) {
  StringGrid grid;
  grid.clearCells();
  grid.setRowCount(2);
  auto failingAfter = [](const QByteArray& got) {
    return [got](QByteArray& bytes) {
      bytes = got;
      throw FileError(QStringLiteral("輸出入錯誤 5"), 5);
    };
  };
  try {
    LoadTableFrom(grid, failingAfter("h1,h2\r\na,b\r\nc,"));
    FAIL();
  } catch (const FileError& e) {
    EXPECT_EQ(e.text(), QStringLiteral("輸出入錯誤 5"));
  }
  EXPECT_EQ(grid.rowCount(), 2);
  EXPECT_EQ(grid.cell(0, 0).toByteArray(), "h1");
  EXPECT_EQ(grid.cell(1, 1).toByteArray(), "b");
  EXPECT_EQ(grid.gridModel()->rowCount(), 1);
  // A Ctrl-Z read before the failure ended the file there.
  grid.clearCells();
  EXPECT_NO_THROW(LoadTableFrom(grid, failingAfter("h\r\nx\x1ay")));
  EXPECT_EQ(grid.cell(0, 1).toByteArray(), "x");
}

TEST(TableFileRead, ReloadingAndEditingKeepStorageBounded) {
  QByteArray bytes = "h1,h2,h3\r\n";
  for (int r = 0; r < 2000; ++r) bytes += "name " + QByteArray::number(r) + ",x.zip,y.png\r\n";
  GridData g(3, 2);
  size_t firstSlots = 0;
  qsizetype arena = 0;
  for (int load = 0; load < 10; ++load) {
    // What every caller does: clear, two rows, load.
    g.clearCells();
    g.setRowCount(2);
    ParseTableBytes(g, QByteArray(bytes));
    if (load == 0) {
      firstSlots = g.cellSlots();
      arena = g.arenaBytes();
    }
    ASSERT_EQ(g.cellSlots(), firstSlots) << load;
    ASSERT_EQ(g.arenaBytes(), arena) << load;
  }
  // Edits append; stale bytes and slots are reclaimed once they dominate.
  for (int i = 0; i < 200000; ++i) g.setCell(i % 3, 1 + i % 2000, QByteArray(40, 'a' + i % 26));
  EXPECT_LT(g.arenaBytes(), 4 * (2000 * 3 * 40) + (2 << 20));
  for (int r = g.rowCount() - 1; r > 10; --r) g.removeRow(r);
  g.setCell(0, 1, "after");
  EXPECT_LT(g.cellSlots(), 10000u);
  EXPECT_EQ(g.cellBytes(0, 1), "after");
}

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "catalogue/TableFile.h"
#include "games/ColumnTools.h"
#include "games/GridSearch.h"
#include "widgets/GridData.h"

using namespace rix;

namespace {

// A grid of one column per list, header first.
GridData Column(const QList<QByteArray>& cells, int cols = 1) {
  GridData g(cols, static_cast<int>(cells.size()));
  for (int r = 0; r < cells.size(); ++r) g.setCell(0, r, cells[r]);
  return g;
}

QList<QByteArray> Cells(const GridData& g, int col) {
  QList<QByteArray> out;
  for (int r = 0; r < g.rowCount(); ++r) out << g.cellBytes(col, r);
  return out;
}

}  // namespace

TEST(ColumnTools, AlignTrimsThenPadsToTheWidestCell) {
  GridData g = Column({" Title ", "ab", " c ", ""});
  ConvertColumn(g, 0, ColumnOp::Align);
  EXPECT_EQ(Cells(g, 0), (QList<QByteArray>{" Title ", "ab", "c ", "  "}));
}

TEST(ColumnTools, AlignOfBlankCellsLeavesThemEmpty) {
  GridData g = Column({"h", "", "  \t", "\r\n"});
  ConvertColumn(g, 0, ColumnOp::Align);
  EXPECT_EQ(Cells(g, 0), (QList<QByteArray>{"h", "", "", ""}));
}

TEST(ColumnTools, AlignCountsADoubleByteCharacterAsTwo) {
  const QByteArray chinese = rixtest::Big5("中文");
  ASSERT_EQ(chinese.size(), 4);
  GridData g = Column({"h", chinese, "abc"});
  ConvertColumn(g, 0, ColumnOp::Align);
  EXPECT_EQ(g.cellBytes(0, 1), chinese);
  EXPECT_EQ(g.cellBytes(0, 2), "abc ");
}

TEST(ColumnTools, CaseChangesTouchOnlySingleByteLetters) {
  // 0xA4 0x61 is a Big5 character whose trail byte is 'a'; the full-width
  // letter is a double-byte character too.
  const QByteArray mixed = QByteArray(
                               "x\xA4"
                               "a",
                               3) +
                           rixtest::Big5("Ａ") + "Zy1";
  GridData g = Column({"Head", mixed});
  ConvertColumn(g, 0, ColumnOp::Upper);
  EXPECT_EQ(g.cellBytes(0, 1), QByteArray("X\xA4"
                                          "a",
                                          3) +
                                   rixtest::Big5("Ａ") + "ZY1");
  ConvertColumn(g, 0, ColumnOp::Lower);
  EXPECT_EQ(g.cellBytes(0, 1), QByteArray("x\xA4"
                                          "a",
                                          3) +
                                   rixtest::Big5("Ａ") + "zy1");
  EXPECT_EQ(g.cellBytes(0, 0), "Head");
}

TEST(ColumnTools, TrimDropsControlBytesAtTheEndsOnly) {
  GridData g = Column({" h ", "\t a b \t\r\n", "\x01x\x1f"});
  ConvertColumn(g, 0, ColumnOp::Trim);
  EXPECT_EQ(Cells(g, 0), (QList<QByteArray>{" h ", "a b", "x"}));
}

TEST(ColumnTools, OnlyTheChosenColumnChangesAndEachAlignedColumnHasItsOwnWidth) {
  GridData g(3, 3);
  g.setCell(0, 1, "a");
  g.setCell(0, 2, "abc");
  g.setCell(1, 1, " wide text ");
  g.setCell(1, 2, "w");
  g.setCell(2, 0, " t ");
  ConvertColumn(g, 1, ColumnOp::Upper);
  EXPECT_EQ(g.cellBytes(0, 1), "a");
  EXPECT_EQ(g.cellBytes(1, 1), " WIDE TEXT ");
  AlignAllColumns(g);
  EXPECT_EQ(Cells(g, 0), (QList<QByteArray>{"", "a  ", "abc"}));
  EXPECT_EQ(Cells(g, 1), (QList<QByteArray>{"", "WIDE TEXT", "W        "}));
  EXPECT_EQ(Cells(g, 2), (QList<QByteArray>{" t ", "", ""}));
}

TEST(ColumnTools, GridsWithoutDataRowsOrColumnsAreLeftAlone) {
  GridData header = Column({" h "});
  ConvertColumn(header, 0, ColumnOp::Align);
  AlignAllColumns(header);
  EXPECT_EQ(header.cellBytes(0, 0), " h ");
  GridData g = Column({"h", " x "});
  ConvertColumn(g, 1, ColumnOp::Trim);
  ConvertColumn(g, -1, ColumnOp::Trim);
  EXPECT_EQ(g.cellBytes(0, 1), " x ");
  EXPECT_EQ(g.colCount(), 1);
}

TEST(GridSearch, ScansDownEachColumnFromTheStartCellAndSkipsTheHeader) {
  GridData g(3, 6);
  g.setCell(1, 0, "needle title");
  g.setCell(2, 1, "a needle");
  g.setCell(1, 5, "needle");
  g.setCell(0, 3, "NEEDLE");
  int c = -1, r = -1;
  ASSERT_TRUE(FindInGrid(g, "needle", 0, 1, &c, &r));
  EXPECT_EQ(c, 1);
  EXPECT_EQ(r, 5);
  // The start cell itself counts; rows before it in its column do not.
  ASSERT_TRUE(FindInGrid(g, "needle", 1, 5, &c, &r));
  EXPECT_EQ(r, 5);
  ASSERT_TRUE(FindInGrid(g, "needle", 1, 6, &c, &r));
  EXPECT_EQ(c, 2);
  EXPECT_EQ(r, 1);
  EXPECT_FALSE(FindInGrid(g, "needle", 2, 2, &c, &r));
  // A start row 0 means the top of the column; the header is still skipped.
  ASSERT_TRUE(FindInGrid(g, "a needle", 2, 0, &c, &r));
  EXPECT_EQ(r, 1);
}

TEST(GridSearch, EmptyTextAndStalePositionsFindNothing) {
  GridData g(2, 3);
  g.setCell(0, 1, "x");
  int c = -1, r = -1;
  EXPECT_FALSE(FindInGrid(g, "", 0, 1, &c, &r));
  EXPECT_FALSE(FindInGrid(g, "x", 5, 1, &c, &r));
  EXPECT_FALSE(FindInGrid(g, "x", 1, 40, &c, &r));
  // A row past the end of a shorter list goes on with the next column.
  g.setCell(1, 2, "x");
  ASSERT_TRUE(FindInGrid(g, "x", 0, 40, &c, &r));
  EXPECT_EQ(c, 1);
  EXPECT_EQ(r, 2);
}

TEST(GridSearch, OnlyLiveCellsMatchNotTheBytesAroundOrReplacedInThem) {
  // Cells are slices of the loaded bytes: separators, quotes and the old
  // text of an edited cell lie between them and must never count.
  GridData g(2, 2);
  ParseTableBytes(g, QByteArray("h,i\r\nab,cd\r\n\"x\"\"y\",zz\r\n"));
  int c = -1, r = -1;
  EXPECT_FALSE(FindInGrid(g, "b,c", 0, 1, &c, &r));
  EXPECT_FALSE(FindInGrid(g, "d\r", 0, 1, &c, &r));
  ASSERT_TRUE(FindInGrid(g, "x\"", 0, 1, &c, &r));  // the quoted field reads as x"
  EXPECT_EQ(r, 2);
  EXPECT_FALSE(FindInGrid(g, "\"y", 0, 1, &c, &r));
  g.setCell(1, 1, "new");
  EXPECT_FALSE(FindInGrid(g, "cd", 0, 1, &c, &r));
  ASSERT_TRUE(FindInGrid(g, "ew", 0, 1, &c, &r));
  EXPECT_EQ(c, 1);
  EXPECT_EQ(r, 1);
}

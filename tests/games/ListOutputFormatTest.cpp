#include <gtest/gtest.h>

#include "TestSupport.h"
#include "games/GridPrint.h"
#include "games/HtmlExport.h"
#include "widgets/GridData.h"

using namespace rix;

TEST(HtmlExport, EveryCellRuleByteForByte) {
  GridData g(3, 4);
  g.setCell(0, 0, "A");
  g.setCell(2, 0, "a\rb");
  g.setCell(0, 1, "see http://rix.example/x?a=1&b");
  g.setCell(1, 1, "mailto:me@rix.example");
  g.setCell(2, 1, "x<y & \"z\">\n");
  g.setCell(0, 2, "ftp://mailto:who\rnext");  // mailto wins, built from the <br> text
  g.setCell(1, 2, "\r");
  const QByteArray html = FormatGridHtml(g, true, "C0C0C0");
  EXPECT_EQ(
      html,
      "<table border=1>\r\n<tr>\r\n"
      "<td nowrap BGCOLOR=\"#C0C0C0\"><B>A</B></td>\r\n"
      "<td nowrap BGCOLOR=\"#C0C0C0\"><B><br></B></td>\r\n"
      "<td nowrap BGCOLOR=\"#C0C0C0\"><B>a<br>b</B></td>\r\n</tr>\r\n"
      "<tr>\r\n<td nowrap><A HREF=see http://rix.example/x?a=1&b>rix.example/x?a=1&b</A></td>\r\n"
      "<td nowrap><A HREF=mailto:me@rix.example>me@rix.example</A></td>\r\n"
      "<td nowrap>x<y & \"z\">\n</td>\r\n</tr>\r\n"
      "<tr>\r\n<td nowrap><A HREF=ftp://mailto:who<br>next>who<br>next</A></td>\r\n"
      "<td nowrap><br></td>\r\n<td nowrap><br></td>\r\n</tr>\r\n"
      "<tr>\r\n<td nowrap><br></td>\r\n<td nowrap><br></td>\r\n<td nowrap><br></td>\r\n"
      "</tr>\r\n</table><p>\r\n");
  // Without a header row, row 0 is a data row.
  GridData one(1, 1);
  one.setCell(0, 0, "only");
  EXPECT_EQ(FormatGridHtml(one, false, "C0C0C0"),
            "<table border=1>\r\n<tr>\r\n<td nowrap>only</td>\r\n</tr>\r\n</table><p>\r\n");
}

TEST(HtmlExport, LinkLabelsStopAt255BytesAndNeverInsideACharacter) {
  const QByteArray ascii(300, 'x');
  EXPECT_EQ(HtmlCellText("http://" + ascii),
            "<A HREF=http://" + ascii + ">" + ascii.left(255) + "</A>");
  const QByteArray big5 = QByteArray(254, 'x') + rixtest::Big5("龍");
  EXPECT_EQ(HtmlCellText("mailto:" + big5),
            "<A HREF=mailto:" + big5 + ">" + big5.left(254) + "</A>");
}

TEST(GridPrintLayout, ColumnsThatFitShareAPageAndLongListsRunOn) {
  // Widths get 2 mm each: 520 + 720 fit on 1300, the next does not; 1280 + 20
  // fills a page exactly; a column wider than the page stands alone.
  const GridPrintLayout l = LayOutGridPrint({500, 700, 1280, 2000, 10, 0}, 121, 1300, 2760, 40);
  ASSERT_EQ(l.blocks.size(), 4u);
  EXPECT_EQ(l.blocks[0].end, 2);
  EXPECT_EQ(l.blocks[1].end, 3);
  EXPECT_EQ(l.blocks[2].end, 4);
  EXPECT_EQ(l.blocks[3].first, 4);
  EXPECT_EQ(l.blocks[3].end, 6);
  EXPECT_EQ(l.rowPitch, 50);
  EXPECT_EQ(l.rowsPerPage, 55);
  EXPECT_EQ(l.pagesPerBlock, 3);
  EXPECT_EQ(l.pageCount(), 12);
  EXPECT_EQ(LayOutGridPrint({10}, 55, 1300, 2760, 40).pagesPerBlock, 1);
  EXPECT_EQ(LayOutGridPrint({10}, 1, 1300, 10, 40).rowsPerPage, 1);
}

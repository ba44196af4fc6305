#include <gtest/gtest.h>

#include "EmulatorLine.h"
#include "TestSupport.h"
#include "catalogue/EmulatorRow.h"
#include "catalogue/TableFile.h"
#include "platform/Big5.h"
#include "widgets/GridData.h"

using rix::EmulatorRow;

TEST(EmulatorRow, CellsAreTrimmedDecodedAndFlagsReadAsYes) {
  rix::GridData table(rix::emucol::Count, 2);
  QByteArray bytes = rix::NewCatalogueHeader();
  bytes += rixtest::EmulatorLine({.page = " NeoRage ",
                                  .key = " 7",
                                  .document = "docs\\說明.txt",
                                  .program = " stella\t",
                                  .list = "l.lst",
                                  .gameDir = "遊戲\\",
                                  .pictureDir = "pics\\",
                                  .before = " -a ",
                                  .after = "-b",
                                  .inEmuDir = " yes ",
                                  .inGameDir = "YES",
                                  .link = " http://x/ "});
  rix::ParseTableBytes(table, std::move(bytes));
  ASSERT_EQ(table.colCount(), rix::emucol::Count);
  EXPECT_TRUE(rix::Big5Decode(table.cell(0, 0)).startsWith(QStringLiteral("選項頁")));

  const EmulatorRow row = EmulatorRow::Read(table, 1);
  EXPECT_EQ(row.optionsPage, "NeoRage");
  EXPECT_EQ(row.treeKey, "7");
  EXPECT_EQ(row.document, QStringLiteral("docs\\說明.txt"));
  EXPECT_EQ(row.program, "stella");
  EXPECT_EQ(row.gameDir, QStringLiteral("遊戲\\"));
  EXPECT_EQ(row.commandBefore, "-a");
  EXPECT_TRUE(row.startInEmuDir);
  EXPECT_TRUE(row.startInGameDir);
  EXPECT_FALSE(row.directoryMode);
  EXPECT_EQ(row.webLink, " http://x/ ");
}

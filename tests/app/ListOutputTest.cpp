#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QPalette>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include "EmulatorLine.h"
#include "TestSupport.h"
#include "WindowTestSupport.h"
#include "app/TMainForm.h"
#include "games/GridPrint.h"
#include "widgets/FontSetup.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

class ListOutputTest : public ::testing::Test {
protected:
  void SetUp() override {
    QByteArray cat = rixtest::CatalogueHeader();
    cat += rixtest::EmulatorLine({.key = "1",
                                  .program = "emu\\run",
                                  .list = "a.lst",
                                  .gameDir = "games\\",
                                  .link = "http://e/"});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), cat));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "e1,1\r\n"));
    QByteArray list = rixtest::TableLine({"", "名稱", "", "檔案"});
    list += rixtest::TableLine({"", "星際飛龍", "", "a.zip"});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("a.lst"), list));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("games/a.zip"), "x"));
    form = rixtest::OpenWindow(dir, &dialogs);
    rom = form->RomGrid;
    emu = form->EmuGrid;
  }
  void Press(StringGrid* g) {
    const QModelIndex i = g->gridModel()->index(0, 1);
    QTest::mousePress(g->viewport(), Qt::LeftButton, {}, g->visualRect(i).center());
  }
  // The colour the header cells get, taken as the program takes it.
  static QByteArray HeaderColour() {
    return QApplication::palette()
        .color(QPalette::Active, QPalette::Window)
        .name()
        .mid(1)
        .toUpper()
        .toLatin1();
  }
  static QString Run(const QString& program, const QStringList& args) {
    QProcess p;
    p.start(program, args);
    p.waitForFinished(60000);
    return QString::fromUtf8(p.readAllStandardOutput());
  }

  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<TMainForm> form;
  StringGrid* rom = nullptr;
  StringGrid* emu = nullptr;
};

}  // namespace

TEST_F(ListOutputTest, HtmlOfTheGridPressedLastThroughTheSaveDialog) {
  const QString out = dir.file("out/t.htm");
  ASSERT_TRUE(QDir().mkpath(dir.file("out")));
  Press(emu);
  dialogs.answerText(out);
  form->SaveToHTMLSB->trigger();
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].kind, "save");
  EXPECT_EQ(dialogs.shown()[0].text, "HTML|*.htm|All Files|*.*");
  EXPECT_EQ(dialogs.shown()[0].defaultSuffix, "htm");
  const QByteArray table = rixtest::ReadAll(out);
  EXPECT_TRUE(table.startsWith("<table border=1>\r\n<tr>\r\n<td nowrap BGCOLOR=\"#" +
                               HeaderColour() + "\"><B>" + rixtest::Big5("頁") + "</B></td>\r\n"));
  EXPECT_TRUE(
      table.contains("<td nowrap><A HREF=http://e/>e/</A></td>\r\n</tr>\r\n</table><p>\r\n"));
  EXPECT_FALSE(table.contains(rixtest::Big5("星際飛龍")));

  // The dialog comes back where it was; No to the question writes nothing.
  Press(rom);
  dialogs.clearShown();
  dialogs.answerText(out);
  dialogs.answerButton(Dialogs::No);
  form->SaveToHTML1->trigger();
  ASSERT_EQ(dialogs.shown().size(), 2);
  EXPECT_EQ(dialogs.shown()[0].preset, dir.path() + "out");
  EXPECT_EQ(dialogs.shown()[0].fileName, "t.htm");
  EXPECT_EQ(dialogs.shown()[1].text, "檔案已存在，是否覆蓋？");
  EXPECT_EQ(rixtest::ReadAll(out), table);

  // A write that fails part way leaves the old file and says so.
  rom->setRowCount(3000);
  dialogs.clearShown();
  dialogs.answerText(out);
  dialogs.answerButton(Dialogs::Yes);
  rixtest::WithFileSizeLimit(4096, [&] { form->SaveToHTMLSB->trigger(); });
  ASSERT_EQ(dialogs.shown().size(), 3);
  EXPECT_EQ(dialogs.shown()[2].kind, "error");
  EXPECT_EQ(rixtest::ReadAll(out), table);

  // Yes replaces it; the game's lamp is not exported.
  rom->setRowCount(2);
  ASSERT_EQ(rom->cellImage(0, 1), 1);
  dialogs.answerText(out);
  dialogs.answerButton(Dialogs::Yes);
  form->SaveToHTMLSB->trigger();
  EXPECT_TRUE(rixtest::ReadAll(out).contains("<tr>\r\n<td nowrap><br></td>\r\n<td nowrap>" +
                                             rixtest::Big5("星際飛龍") +
                                             "</td>\r\n<td nowrap><br></td>\r\n<td nowrap>a.zip"));
}

TEST_F(ListOutputTest, PrintsTheWholeActiveGridToPdfInColumnBlocks) {
  InstallFontSubstitutions();
  // Three narrow columns share the first pages; the wide fourth one gets
  // pages of its own.
  rom->setColCount(4);
  rom->setRowCount(131);
  for (int r = 1; r < 131; ++r) {
    rom->setCell(0, r, "Row" + QByteArray::number(r));
    rom->setCell(2, r, QByteArray(40, 'W'));
    rom->setCell(3, r, QByteArray(30, 'M') + QByteArray::number(r));
  }
  const QString pdf = dir.file("grid.pdf");
  dialogs.answerCancel();
  form->PrintSB->trigger();
  EXPECT_FALSE(QFile::exists(pdf));
  dialogs.answerPrint(pdf);
  form->PrintSB->trigger();
  ASSERT_TRUE(QFile::exists(pdf));

  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  const QRectF area = printer.pageLayout().paintRect(QPageLayout::Millimeter);
  const GridPrintLayout l = MeasureGridPrint(rom->data(), GridPrintFont(), printer,
                                             int(area.width() * 10), int(area.height() * 10));
  ASSERT_EQ(l.blocks.size(), 2u);
  EXPECT_EQ(l.blocks[0].end, 3);
  ASSERT_GE(l.pagesPerBlock, 2);
  const QString info = Run("pdfinfo", {pdf});
  EXPECT_TRUE(
      info.contains(QRegularExpression("Pages:\\s+" + QString::number(l.pageCount()) + "\n")))
      << info.toStdString();
  const QString first = Run("pdftotext", {"-f", "1", "-l", "1", pdf, "-"});
  EXPECT_TRUE(first.contains("名稱"));
  EXPECT_TRUE(first.contains("星際飛龍"));
  EXPECT_TRUE(first.contains("Row1\n"));
  EXPECT_FALSE(first.contains("MMMM"));
  const QString page = QString::number(l.pagesPerBlock + 1);
  const QString second = Run("pdftotext", {"-f", page, "-l", page, pdf, "-"});
  EXPECT_TRUE(second.contains(QString(30, 'M') + "1\n"));
  EXPECT_FALSE(second.contains("Row1"));

  // The emulator table prints when it was pressed last; a file that cannot
  // be made is an error, not a silent success.
  Press(emu);
  dialogs.answerPrint(dir.file("emu.pdf"));
  form->Print1->trigger();
  EXPECT_TRUE(Run("pdftotext", {dir.file("emu.pdf"), "-"}).contains("emu\\run"));
  dialogs.clearShown();
  dialogs.answerPrint(dir.file("no/such/dir/x.pdf"));
  form->PrintSB->trigger();
  ASSERT_EQ(dialogs.shown().size(), 2);
  EXPECT_EQ(dialogs.shown()[1].kind, "error");
}

#include <gtest/gtest.h>

#include <QAction>
#include <QTest>

#include "EmulatorLine.h"
#include "ShownForm.h"
#include "TestSupport.h"
#include "app/PanelLabel.h"
#include "app/TMainForm.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

QByteArray ListHeader() { return rixtest::TableLine({"", "名稱", "說明", "onlyhead", "圖片"}); }

class ListToolsTest : public ::testing::Test {
protected:
  void SetUp() override {
    QByteArray catalogue = rixtest::TableLine(
        {"頁", "鍵", "說", "模", "列", "遊", "圖", "前", "後", "9", "10", "11", "網"});
    catalogue += rixtest::EmulatorLine({.key = "1", .list = "a.lst"});
    catalogue += rixtest::EmulatorLine({.key = "2", .list = "a.lst"});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), catalogue));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "e1,1\r\ne2,2\r\n"));
    QByteArray list = ListHeader();
    list += rixtest::TableLine({"", "One", "ABC", "", ""});
    list += rixtest::TableLine({"", "Two", "abc here", "", ""});
    list += rixtest::TableLine({"", "Three", "", "", ""});
    list += rixtest::TableLine({"", "Four", "", "", ""});
    list += rixtest::TableLine({"", "Five", "", "", ""});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("a.lst"), list));
    form = ShownForm(dir.path(), &dialogs);
    rom = form->RomGrid;
    emu = form->EmuGrid;
    ASSERT_EQ(rom->rowCount(), 6);
  }

  void Press(StringGrid* g, int col, int row, Qt::MouseButton b = Qt::LeftButton) {
    const QModelIndex i = g->gridModel()->index(g->gridModel()->toModelRow(row), col);
    QTest::mousePress(g->viewport(), b, {}, g->visualRect(i).center());
  }
  QPoint Cursor(StringGrid* g) const { return {g->col(), g->row()}; }
  QByteArray Cell(StringGrid* g, int col, int row) const { return g->cell(col, row).toByteArray(); }
  void FindFirst(const QString& text) {
    dialogs.answerText(text);
    form->FindFirstSB->trigger();
  }

  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<TMainForm> form;
  StringGrid* rom = nullptr;
  StringGrid* emu = nullptr;
};

}  // namespace

TEST_F(ListToolsTest, SaveWritesTheGridPressedLast) {
  const QByteArray list = rixtest::ReadAll(dir.file("a.lst"));
  Press(emu, 0, 1, Qt::RightButton);
  emu->setCell(12, 1, "http://changed/");
  form->Save1->trigger();
  EXPECT_TRUE(rixtest::ReadAll(dir.file("RixFront.ini")).contains("http://changed/"));
  EXPECT_EQ(rixtest::ReadAll(dir.file("a.lst")), list);
  const QByteArray table = rixtest::ReadAll(dir.file("RixFront.ini"));
  Press(rom, 1, 1, Qt::RightButton);
  rom->setCell(2, 3, "saved note");
  form->SaveSB->trigger();
  EXPECT_TRUE(rixtest::ReadAll(dir.file("a.lst")).contains("saved note"));
  EXPECT_EQ(rixtest::ReadAll(dir.file("RixFront.ini")), table);
}

TEST_F(ListToolsTest, EditModeBelongsToEachGridAndTheMarksMirrorThePressedOne) {
  Press(rom, 1, 1);
  form->EditMode1->trigger();  // the menu item flips its own check first
  EXPECT_TRUE(rom->editMode());
  EXPECT_TRUE(form->EditMode1->isChecked());
  EXPECT_TRUE(form->EditModeSB->isChecked());
  Press(emu, 0, 1);
  EXPECT_FALSE(form->EditMode1->isChecked());
  EXPECT_FALSE(form->EditModeSB->isChecked());
  form->EditModeSB->trigger();  // and so does the button
  EXPECT_TRUE(emu->editMode());
  EXPECT_TRUE(form->EditMode1->isChecked());
  EXPECT_TRUE(form->EditModeSB->isChecked());
  form->EditMode1->trigger();
  EXPECT_FALSE(emu->editMode());
  EXPECT_FALSE(form->EditModeSB->isChecked());
  Press(rom, 1, 2);
  EXPECT_TRUE(rom->editMode());
  EXPECT_TRUE(form->EditMode1->isChecked());
  EXPECT_TRUE(form->EditModeSB->isChecked());
}

TEST_F(ListToolsTest, FindGoesDownEachColumnAndStartsOverAfterOneMiss) {
  rom->setCell(1, 5, "xabcx");  // column 1 is scanned whole before column 2
  rom->setCursor(4, 4);
  FindFirst("abc");
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].kind, "input");
  EXPECT_EQ(dialogs.shown()[0].caption, QStringLiteral("請輸入欲尋找的字串"));
  EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("輸入字串"));
  EXPECT_EQ(dialogs.shown()[0].preset, "");
  EXPECT_EQ(form->SearchText, "abc");
  EXPECT_EQ(Cursor(rom), QPoint(1, 5));
  form->FindNext1->trigger();
  EXPECT_EQ(Cursor(rom), QPoint(2, 2));  // "ABC" in row 1 is no match
  form->FindNextSB->trigger();
  EXPECT_EQ(Cursor(rom), QPoint(2, 2));  // a silent miss
  form->FindNextSB->trigger();
  EXPECT_EQ(Cursor(rom), QPoint(1, 5));
  // Cancel keeps the text and still searches from the top.
  rom->setCursor(0, 3);
  dialogs.answerCancel();
  form->FindFirstSB->trigger();
  EXPECT_EQ(dialogs.shown().last().preset, "abc");
  EXPECT_EQ(form->SearchText, "abc");
  EXPECT_EQ(Cursor(rom), QPoint(1, 5));
  EXPECT_TRUE(dialogs.shown().size() == 2 && dialogs.pending() == 0);
}

TEST_F(ListToolsTest, HeaderAndEmptyTextFindNothingAndAMatchInRowOneIsFoundAgain) {
  rom->setCursor(4, 4);
  FindFirst("onlyhead");
  EXPECT_EQ(Cursor(rom), QPoint(4, 4));
  form->FindNext1->trigger();
  EXPECT_EQ(Cursor(rom), QPoint(4, 4));
  FindFirst("");
  EXPECT_EQ(Cursor(rom), QPoint(4, 4));
  // A sole hit in the first data row is found again after the miss.
  FindFirst("One");
  EXPECT_EQ(Cursor(rom), QPoint(1, 1));
  form->FindNext1->trigger();
  rom->setCursor(4, 4);
  form->FindNext1->trigger();
  EXPECT_EQ(Cursor(rom), QPoint(1, 1));
}

TEST_F(ListToolsTest, EachGridContinuesItsOwnSearch) {
  Press(rom, 0, 1);
  FindFirst("Two");
  EXPECT_EQ(Cursor(rom), QPoint(1, 2));
  // The emulator table was never searched: find next there finds nothing,
  // although the game list's text would match in it.
  emu->setCell(8, 2, "Two");
  Press(emu, 0, 1);
  form->FindNext1->trigger();
  EXPECT_EQ(Cursor(emu), QPoint(0, 1));
  FindFirst("Two");
  EXPECT_EQ(Cursor(emu), QPoint(8, 2));
  rom->setCell(3, 5, "Two");
  Press(rom, 0, 1);
  form->FindNext1->trigger();
  EXPECT_EQ(Cursor(rom), QPoint(3, 5));
}

TEST_F(ListToolsTest, InsertDeleteAndClearRowWorkOnTheCurrentRow) {
  Press(rom, 1, 1);
  form->InsertRowSB->trigger();
  EXPECT_EQ(rom->rowCount(), 7);
  EXPECT_EQ(rom->row(), 1);
  EXPECT_EQ(Cell(rom, 1, 1), "");
  EXPECT_EQ(Cell(rom, 1, 2), "One");
  EXPECT_EQ(form->RomPanel->text(), QStringLiteral("遊戲總數: 6"));
  form->DeleteRow1->trigger();
  EXPECT_EQ(rom->rowCount(), 6);
  EXPECT_EQ(Cell(rom, 1, 1), "One");
  EXPECT_EQ(form->RomPanel->text(), QStringLiteral("遊戲總數: 5"));
  // Clearing a row empties its cells and its marker and keeps the row.
  rom->setRow(1);
  rom->setCellImage(0, 1, 1);
  form->ClearRow1->trigger();
  EXPECT_EQ(rom->rowCount(), 6);
  for (int c = 0; c < rom->colCount(); ++c) EXPECT_EQ(Cell(rom, c, 1), "") << c;
  EXPECT_EQ(rom->cellImage(0, 1), -1);
  EXPECT_EQ(Cell(rom, 1, 2), "Two");
  // On the emulator table the count line is refreshed with the unchanged count.
  Press(emu, 0, 2);
  form->RomPanel->setText("other");
  form->InsertRow1->trigger();
  EXPECT_EQ(emu->rowCount(), 4);
  EXPECT_EQ(Cell(emu, 1, 3), "2");
  EXPECT_EQ(form->RomPanel->text(), QStringLiteral("遊戲總數: 5"));
  form->RomPanel->setText("other");
  form->DeleteRowSB->trigger();
  EXPECT_EQ(Cell(emu, 1, 2), "2");
  EXPECT_EQ(form->RomPanel->text(), QStringLiteral("遊戲總數: 5"));
  EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(ListToolsTest, DeletingTheOnlyDataRowLeavesTheHeaderAlone) {
  Press(rom, 1, 1);
  rom->setRowCount(2);
  rom->setRow(1);
  form->DeleteRow1->trigger();
  ASSERT_EQ(rom->rowCount(), 1);
  EXPECT_EQ(rom->fixedRows(), 0);
  EXPECT_EQ(Cell(rom, 1, 0), rixtest::Big5("名稱"));
  form->DeleteRow1->trigger();  // the last row stays
  EXPECT_EQ(rom->rowCount(), 1);
  EXPECT_EQ(Cell(rom, 1, 0), rixtest::Big5("名稱"));
}

TEST_F(ListToolsTest, ClearAllAsksOnceAndLeavesOneEmptyDataRow) {
  Press(rom, 1, 3);
  dialogs.answerButton(Dialogs::No);
  form->ClearAllSB->trigger();
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].kind, "confirm");
  EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("是否清除全部列表？"));
  EXPECT_EQ(dialogs.shown()[0].buttons,
            (QStringList{QStringLiteral("是(&Y)"), QStringLiteral("否(&N)")}));
  EXPECT_EQ(rom->rowCount(), 6);
  dialogs.answerButton(Dialogs::Yes);
  form->ClearAll1->trigger();
  EXPECT_EQ(rom->rowCount(), 2);
  for (int c = 0; c < rom->colCount(); ++c) {
    EXPECT_EQ(Cell(rom, c, 0), "") << c;
    EXPECT_EQ(rom->cellImage(c, 1), -1) << c;
  }
  form->Save1->trigger();
  const QByteArray saved = rixtest::ReadAll(dir.file("a.lst"));
  const QList<QByteArray> lines = saved.split('\n');
  ASSERT_EQ(lines.size(), 3);  // two lines and the end
  for (QByteArray line : lines.mid(0, 2))
    EXPECT_TRUE(line.replace("\"\"", "").replace(",", "") == "\r") << line.constData();
}

TEST_F(ListToolsTest, AlignAsksForAllColumnsFirst) {
  Press(rom, 1, 1);
  rom->setCell(2, 1, " x ");
  // No, then Yes: only the current column.
  dialogs.answerButton(Dialogs::No);
  dialogs.answerButton(Dialogs::Yes);
  form->RowUniform1->trigger();
  ASSERT_EQ(dialogs.shown().size(), 2);
  EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("是否轉換全部欄位？"));
  EXPECT_EQ(dialogs.shown()[1].text, QStringLiteral("是否開始轉換？"));
  EXPECT_EQ(Cell(rom, 1, 1), "One  ");
  EXPECT_EQ(Cell(rom, 1, 3), "Three");
  EXPECT_EQ(Cell(rom, 2, 1), " x ");
  EXPECT_EQ(Cell(rom, 1, 0), rixtest::Big5("名稱"));
  // Yes: every column, with no second question.
  dialogs.clearShown();
  dialogs.answerButton(Dialogs::Yes);
  form->RowUniform1->trigger();
  EXPECT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(Cell(rom, 2, 1), "x       ");
  EXPECT_EQ(Cell(rom, 2, 2), "abc here");
  EXPECT_EQ(Cell(rom, 3, 1), "");
  EXPECT_EQ(Cell(rom, 3, 0), "onlyhead");
}

TEST_F(ListToolsTest, CaseAndTrimAskOnceAndNoChangesNothing) {
  Press(rom, 2, 1);
  dialogs.answerButton(Dialogs::No);
  form->RowUpper1->trigger();
  EXPECT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(Cell(rom, 2, 2), "abc here");
  dialogs.answerButton(Dialogs::Yes);
  form->RowUpper1->trigger();
  EXPECT_EQ(Cell(rom, 2, 2), "ABC HERE");
  EXPECT_EQ(Cell(rom, 1, 2), "Two");
  dialogs.answerButton(Dialogs::Yes);
  form->RowLower1->trigger();
  EXPECT_EQ(Cell(rom, 2, 1), "abc");
  rom->setCell(2, 3, "\t y \t");
  dialogs.answerButton(Dialogs::Yes);
  form->RowTrim1->trigger();
  EXPECT_EQ(Cell(rom, 2, 3), "y");
  EXPECT_EQ(dialogs.shown().size(), 4);
  EXPECT_EQ(dialogs.shown().last().text, QStringLiteral("是否開始轉換？"));
}

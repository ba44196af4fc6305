#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QScrollBar>
#include <QShortcut>
#include <QTabWidget>
#include <QTest>

#include "options/FixedGrid.h"
#include "options/PadPicture.h"
#include "options/ZsnesPage.h"

using rix::FixedGrid;
using rix::ZsnesPage;

namespace {

// The page shown on its key tab with the key grid focused on (column, row).
struct Fixture {
  ZsnesPage page;
  Fixture() {
    page.PageControl->setCurrentIndex(1);
    page.show();
    page.activateWindow();
  }
  FixedGrid* grid() { return page.zSNESGrid; }
  QString cell(int column, int row) { return grid()->cellText(column, row); }
  void focusCell(int column, int row) {
    grid()->setFocus();
    grid()->setCurrentCell(row, column);
  }
  QString press(int column, int row, Qt::Key key, Qt::KeyboardModifiers mods = {}) {
    focusCell(column, row);
    QTest::keyClick(grid(), key, mods);
    return cell(column, row);
  }
};

}  // namespace

TEST(ZsnesPage, PressedKeysAreRecordedByScanCodeAndName) {
  Fixture f;
  EXPECT_EQ(f.press(1, 1, Qt::Key_Escape), "1 Esc");
  EXPECT_EQ(f.press(1, 2, Qt::Key_A), "30 A");
  EXPECT_EQ(f.press(1, 2, Qt::Key_A, Qt::ShiftModifier), "30 A");  // replaces, same key
  EXPECT_EQ(f.press(2, 3, Qt::Key_Space), "57 Space");
  EXPECT_EQ(f.press(2, 4, Qt::Key_Shift), "42 Shift");
  EXPECT_EQ(f.press(2, 5, Qt::Key_Minus, Qt::KeypadModifier), "74 -");
  EXPECT_EQ(f.press(2, 6, Qt::Key_Clear, Qt::KeypadModifier), "76 Key5");
  EXPECT_EQ(f.press(1, 12, Qt::Key_Tab), "15 Tab");
  EXPECT_EQ(f.grid()->currentRow(), 12);  // Tab did not move the cursor

  // The right Shift key has a scan code of its own but the same virtual key.
  f.focusCell(1, 7);
  QKeyEvent rightShift(QEvent::KeyPress, Qt::Key_Shift, Qt::ShiftModifier, 62, 0xffe2, 0);
  QApplication::sendEvent(f.grid(), &rightShift);
  EXPECT_EQ(f.cell(1, 7), "42 Shift");
}

TEST(ZsnesPage, NavigationKeysAreRecordedInsteadOfMovingTheCursor) {
  Fixture f;
  EXPECT_EQ(f.press(1, 5, Qt::Key_Up), "72 Up");
  EXPECT_EQ(f.grid()->currentRow(), 5);
  EXPECT_EQ(f.press(1, 5, Qt::Key_Right), "77 Right");
  EXPECT_EQ(f.grid()->currentColumn(), 1);
  EXPECT_EQ(f.press(2, 12, Qt::Key_PageDown), "81 PgDn");
  EXPECT_EQ(f.press(2, 12, Qt::Key_Home), "71 Home");
  EXPECT_EQ(f.press(2, 12, Qt::Key_Insert, Qt::KeypadModifier), "82 Ins");
}

TEST(ZsnesPage, KeysOutsideTheTableKeepTheirOrdinaryEffect) {
  Fixture f;
  f.focusCell(1, 3);
  for (auto [key, mods] : {std::pair{Qt::Key_F11, Qt::KeyboardModifiers{}},
                           std::pair{Qt::Key_F12, Qt::KeyboardModifiers{}},
                           std::pair{Qt::Key_5, Qt::KeyboardModifiers{Qt::KeypadModifier}},
                           std::pair{Qt::Key_Slash, Qt::KeyboardModifiers{Qt::KeypadModifier}},
                           std::pair{Qt::Key_Period, Qt::KeyboardModifiers{Qt::KeypadModifier}},
                           std::pair{Qt::Key_Pause, Qt::KeyboardModifiers{}}}) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(f.grid(), &press);
    EXPECT_EQ(f.cell(1, 3), "") << key;
  }
}

TEST(ZsnesPage, RecordedKeysOutrankWindowShortcuts) {
  Fixture f;
  int fired = 0;
  QShortcut findNext(QKeySequence(Qt::Key_F3), &f.page);
  QObject::connect(&findNext, &QShortcut::activated, [&] { ++fired; });
  EXPECT_EQ(f.press(1, 1, Qt::Key_F3), "61 F3");
  EXPECT_EQ(fired, 0);
}

TEST(ZsnesPage, KeyPressedInJoystickGridLandsInKeyGrid) {
  Fixture f;
  f.grid()->setCurrentCell(9, 2);
  f.page.StringGrid1->setFocus();
  f.page.StringGrid1->setCurrentCell(3, 1);
  QTest::keyClick(f.page.StringGrid1, Qt::Key_Down);
  EXPECT_EQ(f.cell(2, 9), "80 Down");
  EXPECT_EQ(f.page.StringGrid1->cellText(1, 3), "");
  EXPECT_EQ(f.page.StringGrid1->currentRow(), 3);
}

TEST(ZsnesPage, CaptionFillKeepsRecordedKeys) {
  Fixture f;
  f.press(1, 1, Qt::Key_D);
  f.press(2, 12, Qt::Key_W);
  f.page.fillGridCaptions();
  f.page.fillGridCaptions();
  EXPECT_EQ(f.cell(0, 0), "");
  EXPECT_EQ(f.cell(1, 0), "Play 1");
  EXPECT_EQ(f.cell(2, 0), "Play 2");
  const char* names[] = {"右", "左", "下", "上", "開始", "選擇", "B", "Y", "A", "X", "L", "R"};
  for (int row = 1; row <= 12; ++row) EXPECT_EQ(f.cell(0, row), names[row - 1]);
  EXPECT_EQ(f.cell(1, 1), "32 D");
  EXPECT_EQ(f.cell(2, 12), "17 W");
}

TEST(ZsnesPage, CursorNeverRestsOnCaptionCells) {
  Fixture f;
  f.focusCell(2, 4);
  QWidget* viewport = f.grid()->viewport();
  const QRect caption = f.grid()->visualItemRect(f.grid()->item(0, 1));
  QTest::mouseClick(viewport, Qt::LeftButton, {}, caption.center());
  EXPECT_EQ(f.grid()->currentRow(), 4);
  EXPECT_EQ(f.grid()->currentColumn(), 2);
  const QRect keyCell = f.grid()->visualItemRect(f.grid()->item(6, 1));
  QTest::mouseClick(viewport, Qt::LeftButton, {}, keyCell.center());
  EXPECT_EQ(f.grid()->currentRow(), 6);
  EXPECT_EQ(f.grid()->currentColumn(), 1);
  QTest::keyClick(f.grid(), Qt::Key_K);
  EXPECT_EQ(f.cell(1, 6), "37 K");
}

TEST(ZsnesPage, LayoutOfTabsListsGridsAndPicture) {
  ZsnesPage page;
  ASSERT_EQ(page.PageControl->count(), 4);
  EXPECT_EQ(page.PageControl->tabText(0), "顯示");
  EXPECT_EQ(page.PageControl->tabText(1), "控制");
  EXPECT_EQ(page.PageControl->tabText(2), "聲音");
  EXPECT_EQ(page.PageControl->tabText(3), "參數");
  EXPECT_EQ(page.PageControl->currentIndex(), 0);

  for (QComboBox* list : {page.ComboBox1, page.ComboBox2}) {
    ASSERT_EQ(list->count(), 7);
    EXPECT_EQ(list->itemText(0), "Disable");
    EXPECT_EQ(list->itemText(6), "Sidewinder Joypad");
    EXPECT_EQ(list->currentIndex(), -1);
  }
  EXPECT_EQ(page.Label4->text(), "鍵盤設定:");
  EXPECT_EQ(page.Label5->text(), "搖桿設定:");

  const FixedGrid* keys = page.zSNESGrid;
  EXPECT_EQ(keys->columnCount(), 3);
  EXPECT_EQ(keys->rowCount(), 13);
  EXPECT_EQ(keys->columnWidth(0), 30);
  EXPECT_EQ(keys->columnWidth(2), 59);
  EXPECT_EQ(keys->rowHeight(12), 16);
  EXPECT_EQ(page.StringGrid1->columnCount(), 2);
  EXPECT_EQ(page.StringGrid1->rowCount(), 9);
  EXPECT_EQ(page.StringGrid1->columnWidth(1), 59);

  // Shown at its size hint, the key grid needs no scrolling.
  page.PageControl->setCurrentIndex(1);
  page.show();
  EXPECT_EQ(keys->size(), keys->sizeHint());
  EXPECT_EQ(keys->horizontalScrollBar()->maximum(), 0);
  EXPECT_EQ(keys->verticalScrollBar()->maximum(), 0);

  EXPECT_EQ(page.PadImage->pixmap().size(), QSize(109, 46));
  EXPECT_EQ(rix::PadPicture().size(), QSize(rix::kPadPictureWidth, rix::kPadPictureHeight));
}

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include "options/NeoRagePage.h"
#include "options/RadioGroup.h"
#include "options/UpDown.h"

using rix::NeoRagePage;

namespace {

// The page as the main window uses it: every change rebuilds the after-game
// command edit, and a selection parses that edit into the page.
struct Fixture {
  NeoRagePage page;
  QLineEdit commandEdit2;
  int rebuilds = 0;

  Fixture() {
    QObject::connect(&page, &NeoRagePage::commandChanged, [this] {
      ++rebuilds;
      commandEdit2.setText(page.buildCommand());
    });
    page.show();
  }
  void select(const QString& afterGame) {
    commandEdit2.setText(afterGame);
    page.parseOptions(commandEdit2.text());
  }
};

// On the indicator: a button stretched by its layout takes clicks only there
// and on its text.
void Click(QAbstractButton* button) {
  QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

}  // namespace

TEST(NeoRagePage, StartsUnsetWithCaptions) {
  NeoRagePage page;
  EXPECT_EQ(page.ScanlinesChk->text(), "掃描線 (Vesa)");
  EXPECT_EQ(page.VsyncChk->text(), "垂直同步更新 (VSync)");
  EXPECT_EQ(page.JoystickChk->text(), "使用搖桿");
  EXPECT_EQ(page.CodeAnalysChk->text(), "Skip the code analys");
  EXPECT_EQ(page.VideoModeRG->title(), "顯示模式");
  ASSERT_EQ(page.VideoModeRG->count(), 3);
  EXPECT_EQ(page.VideoModeRG->button(2)->text(), "ModeX 320x240");
  EXPECT_EQ(page.VideoModeRG->itemIndex(), -1);
  EXPECT_EQ(page.FrameskipEdit->text(), "0");
  EXPECT_EQ(page.FrameskipUpDown->position(), 0);
  EXPECT_EQ(page.buildCommand(), "");
}

TEST(NeoRagePage, ParsingSetsControlsSilentlyAndAClickRebuilds) {
  Fixture f;
  f.select("-vga -f3");
  EXPECT_EQ(f.rebuilds, 0);
  EXPECT_FALSE(f.page.parsingOptions());
  EXPECT_TRUE(f.page.VsyncChk->isChecked());
  EXPECT_EQ(f.page.FrameskipEdit->text(), "3");
  EXPECT_EQ(f.page.VideoModeRG->itemIndex(), 1);
  EXPECT_EQ(f.commandEdit2.text(), "-vga -f3");  // untouched until the user acts

  Click(f.page.ScanlinesChk);
  EXPECT_EQ(f.rebuilds, 1);
  EXPECT_EQ(f.commandEdit2.text(), "-v -f3 -vga -s");

  f.select("-x -j");
  Click(f.page.CodeAnalysChk);
  // The counter and the mode were not named, so they keep their state.
  EXPECT_EQ(f.commandEdit2.text(), "-f3 -vga -noanalys -j");
}

TEST(NeoRagePage, VideoModeIsKeptAcrossSelectionsAndChosenByClick) {
  Fixture f;
  f.select("-modex");
  f.select("-s");
  EXPECT_EQ(f.page.VideoModeRG->itemIndex(), 2);
  Click(f.page.VideoModeRG->button(1));
  EXPECT_EQ(f.rebuilds, 1);
  EXPECT_EQ(f.commandEdit2.text(), "-vga -s");
  Click(f.page.VideoModeRG->button(0));
  EXPECT_EQ(f.commandEdit2.text(), "-s");
  // A click on the item already chosen rebuilds as well.
  f.select("-x -vga");
  Click(f.page.VideoModeRG->button(1));
  EXPECT_EQ(f.commandEdit2.text(), "-v -vga");
}

TEST(NeoRagePage, CounterStepsWithinRangeAndEveryTextChangeRebuilds) {
  Fixture f;
  f.select("-f3");
  Click(f.page.FrameskipUpDown->upButton());
  EXPECT_EQ(f.page.FrameskipEdit->text(), "4");
  EXPECT_EQ(f.commandEdit2.text(), "-f4");
  Click(f.page.FrameskipUpDown->upButton());  // no wrapping, no change
  EXPECT_EQ(f.page.FrameskipEdit->text(), "4");
  EXPECT_EQ(f.rebuilds, 1);
  for (int i = 0; i < 5; ++i) Click(f.page.FrameskipUpDown->downButton());
  EXPECT_EQ(f.page.FrameskipEdit->text(), "0");
  EXPECT_EQ(f.commandEdit2.text(), "");
  EXPECT_EQ(f.rebuilds, 5);

  // Arrow keys in the edit step the counter too.
  QTest::keyClick(f.page.FrameskipEdit, Qt::Key_Up);
  EXPECT_EQ(f.commandEdit2.text(), "-f1");
}

TEST(NeoRagePage, TypedFrameskipAcceptsOnlyTheCounterRange) {
  Fixture f;
  f.page.FrameskipEdit->selectAll();
  QTest::keyClick(f.page.FrameskipEdit, Qt::Key_Backspace);
  EXPECT_EQ(f.commandEdit2.text(), "");
  QTest::keyClicks(f.page.FrameskipEdit, "7x");
  EXPECT_EQ(f.page.FrameskipEdit->text(), "");
  QTest::keyClicks(f.page.FrameskipEdit, "2");
  EXPECT_EQ(f.page.FrameskipEdit->text(), "2");
  EXPECT_EQ(f.commandEdit2.text(), "-f2");

  // A parsed character outside the range shows as it stands and counts
  // clamped; a step from it starts from that count.
  f.select("-f9");
  EXPECT_EQ(f.page.FrameskipEdit->text(), "9");
  EXPECT_EQ(f.page.FrameskipUpDown->position(), 4);
  Click(f.page.FrameskipUpDown->downButton());
  EXPECT_EQ(f.commandEdit2.text(), "-f3");
  f.select("-fz");
  Click(f.page.FrameskipUpDown->upButton());
  EXPECT_EQ(f.commandEdit2.text(), "-f1");
}

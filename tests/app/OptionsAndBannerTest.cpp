#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include "TestSupport.h"
#include "app/TMainForm.h"
#include "banner/TASLink.h"
#include "banner/TAboutForm.h"
#include "banner/TRixLED.h"
#include "options/NeoRagePage.h"
#include "widgets/AutoTreeView.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

class WiringTest : public ::testing::Test {
protected:
  void SetUp() override {
    catalogue = rixtest::Big5(
        "頁,鍵,說,模,列,遊,圖,前,後,9,10,11,網\r\n"
        "NeoRage,1,\"\",\"\",\"\",\"\",\"\",\"\",-vga -f3,No,No,No,http://rixfront.example/neo/\r\n"
        "Common,2,\"\",\"\",\"\",\"\",\"\", pre ,-x -j,No,No,No,\"\"\r\n");
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), catalogue));
    ASSERT_TRUE(
        rixtest::WriteAll(dir.file("EmuTree.ini"), rixtest::Big5("主機\r\n\tNeo,1\r\n\t二,2\r\n")));
    MainFormSetup s;
    s.appDir = dir.path();
    s.tempDir = dir.path() + "tmp/";
    s.dialogs = &dialogs;
    form = std::make_unique<TMainForm>(s);
    form->show();
  }
  void Select(int row) {
    form->EmuGrid->setRow(row);
    form->EmuGridClickCell(form->EmuGrid, row, 0);
  }

  QByteArray catalogue;
  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(WiringTest, NeoRageClicksRewriteTheAfterPartAndTheSaveButtonWritesTheTable) {
  NeoRagePage* page = form->NeoRagePage;
  form->RomPage->setCurrentIndex(1);  // the settings tab, where the page can be clicked
  EXPECT_EQ(form->CommandEdit2->text(), "-vga -f3");
  QTest::mouseClick(page->JoystickChk, Qt::LeftButton, {},
                    QPoint(6, page->JoystickChk->height() / 2));
  EXPECT_EQ(form->CommandEdit2->text(), "-v -f3 -vga -j");
  // No: neither the table nor the file changes.
  dialogs.answerButton(Dialogs::No);
  QTest::mouseClick(page->NeoRageSaveBtn, Qt::LeftButton);
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown().last().text, QStringLiteral("是否將參數存檔？"));
  EXPECT_EQ(dialogs.shown().last().buttons, (QStringList{"是(&Y)", "否(&N)"}));
  EXPECT_EQ(rixtest::ReadAll(dir.file("RixFront.ini")), catalogue);
  EXPECT_EQ(form->EmuGrid->cell(8, 1).toByteArray(), "-vga -f3");
  // Yes: columns 7 and 8 as they stand, the whole table written.
  form->CommandEdit1->setText(QStringLiteral(" 前 "));
  dialogs.answerButton(Dialogs::Yes);
  QTest::mouseClick(page->NeoRageSaveBtn, Qt::LeftButton);
  QByteArray want = catalogue;
  want.replace("\"\",-vga -f3,", rixtest::Big5(" 前 ") + ",-v -f3 -vga -j,");
  EXPECT_EQ(rixtest::ReadAll(dir.file("RixFront.ini")), want);
  // The next selection of a NeoRage row keeps the radio group when the text
  // names no mode; a Common row's edits replace whatever was typed.
  Select(2);
  EXPECT_EQ(form->CommandEdit1->text(), "pre");
  EXPECT_EQ(form->CommandEdit2->text(), "-x -j");
}

TEST_F(WiringTest, TreeDeleteAsksWithOkAndCancel) {
  TAutoTreeView* tree = form->EmuTree;
  QTreeWidgetItem* neo = tree->topLevelItem(0)->child(0);
  tree->setCurrentItem(neo);
  tree->setFocus();
  dialogs.answerButton(Dialogs::Cancel);
  QTest::keyClick(tree, Qt::Key_Delete);
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown().last().text, QStringLiteral("是否確定刪除？ \"Neo\""));
  EXPECT_EQ(dialogs.shown().last().buttons, (QStringList{"確定", "取消"}));
  EXPECT_EQ(tree->topLevelItem(0)->childCount(), 2);
  dialogs.answerButton(Dialogs::Ok);
  QTest::keyClick(tree, Qt::Key_Delete);
  EXPECT_EQ(tree->topLevelItem(0)->childCount(), 1);
  EXPECT_EQ(rixtest::ReadAll(dir.file("EmuTree.ini")),
            rixtest::Big5("主機\r\n\tNeo,1\r\n\t二,2\r\n"));
}

TEST_F(WiringTest, BannerScrollsFromTheFirstShowAndOpensTheAboutBoxModally) {
  EXPECT_TRUE(form->RixLED1->Scroll());
  EXPECT_EQ(form->RixLED1->height(), 52);
  EXPECT_EQ(form->WWWLink->text(), "rixfront.example/neo");
  Select(2);
  EXPECT_EQ(form->WWWLink->text(), QStringLiteral("沒有"));
  bool wasModal = false;
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
    wasModal = box != nullptr;
    if (box) box->close();
  });
  QTest::mouseClick(form->RixLED1, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_TRUE(wasModal);
}

TEST_F(WiringTest, GameListPickersAndTheDocumentationToolbar) {
  // The game column's picker keeps the file name and marks the game present untested.
  ASSERT_TRUE(rixtest::WriteAll(dir.file("l.lst"), "h0,h1,h2,h3,h4\r\n,,,,\r\n"));
  form->EmuGrid->setCell(4, 1, "l.lst");
  form->EmuGrid->setCell(5, 1, "games\\");
  form->RomListFile.clear();
  form->EmuGrid->setRow(1);
  form->EmuGridClickCell(form->EmuGrid, 1, 0);
  using K = StringGrid::EditorKind;
  EXPECT_EQ(form->RomGridGetEditorType(3, 1), K::Ellipsis);
  EXPECT_EQ(form->RomGridGetEditorType(4, 1), K::Ellipsis);
  EXPECT_EQ(form->RomGridGetEditorType(0, 1), K::Plain);
  // A game under the game directory is named from there; one elsewhere, which
  // cannot be joined to it, by its name.
  QByteArray value;
  dialogs.answerText(dir.path() + "games/sub/new.zip");
  form->RomGridEllipsClick(3, 1, value);
  EXPECT_EQ(value, "sub\\new.zip");
  EXPECT_EQ(form->RomGrid->cellImage(0, 1), 1);
  EXPECT_EQ(dialogs.shown().last().preset, dir.path() + "games/");
  dialogs.answerText("/elsewhere/new.zip");
  form->RomGridEllipsClick(3, 1, value);
  EXPECT_EQ(value, "new.zip");
  dialogs.answerCancel();
  form->RomGridEllipsClick(4, 1, value);
  EXPECT_EQ(value, "new.zip");
  EXPECT_TRUE(dialogs.shown().last().text.startsWith("All Media|"));
  // A picture: from the picture directory, as column 6 names it.
  form->EmuGrid->setCell(6, 1, "pics\\");
  dialogs.answerText(dir.path() + "pics/a/x.png");
  form->RomGridEllipsClick(4, 1, value);
  EXPECT_EQ(value, "a\\x.png");
  // The documentation toolbar mirrors its menu: 16 buttons, six start disabled.
  QStringList hints;
  int disabled = 0;
  for (QAction* a : form->MemoToolBar->actions()) {
    if (a->isSeparator()) continue;
    hints << a->toolTip();
    disabled += a->isEnabled() ? 0 : 1;
  }
  EXPECT_EQ(hints.size(), 16);
  EXPECT_EQ(hints.first(), QStringLiteral("開啟舊檔"));
  EXPECT_EQ(hints.last(), QStringLiteral("列印"));
  EXPECT_EQ(disabled, 6);
}

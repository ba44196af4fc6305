#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QScreen>
#include <QStackedWidget>
#include <QTableWidget>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "TestSupport.h"
#include "UrlRecorder.h"
#include "app/PanelLabel.h"
#include "app/TMainForm.h"
#include "banner/TASLink.h"
#include "banner/TAboutForm.h"
#include "banner/TRixLED.h"
#include "options/CommonPage.h"
#include "options/NeoRagePage.h"
#include "options/UpDown.h"
#include "options/ZsnesPage.h"
#include "widgets/AutoTreeView.h"
#include "widgets/PictureView.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

// Emulator rows: page, key, doc, program, list, game dir, picture dir, before, after.
QStringList Emu(const QString& page, int key, const QString& list, const QString& games,
                const QString& pics, const QString& after = {}) {
  return {page,
          QString::number(key),
          "",
          "emu\\run",
          list,
          games,
          pics,
          "-b",
          after,
          "No",
          "No",
          "No",
          "http://rixfront.example/e" + QString::number(key) + "/"};
}

class SelectionTest : public ::testing::Test {
protected:
  void SetUp() override {
    WriteList("lists\\a.lst", {{"", "Alpha", "", "alpha.zip;alpha.rom", "ALPHA.PNG"},
                               {"", "Beta", "", "beta.rom", "beta.png"},
                               {"", "Semi", "", ";x", ""},
                               {"", "Sub", "", "Deep\\Game.ROM", "bad.png"}});
    Touch("games/a/ALPHA.zip");
    Touch("games/a/deep/game.rom");
    QDir().mkpath(dir.file("games/a/beta.rom"));  // a directory is not a game file
    Picture("pics/a/alpha.png");
    ASSERT_TRUE(rixtest::WriteAll(dir.file("pics/a/bad.png"), "not a picture"));
  }

  void WriteList(const QString& rel, const QList<QStringList>& rows) {
    QByteArray bytes = rixtest::TableLine({"", "名稱", "說明", "檔案", "圖片"});
    for (const QStringList& r : rows) bytes += rixtest::TableLine(r);
    QString p = rel;
    ASSERT_TRUE(rixtest::WriteAll(dir.file(p.replace('\\', '/')), bytes));
  }
  void Touch(const QString& rel) { ASSERT_TRUE(rixtest::WriteAll(dir.file(rel), "x")); }
  void Picture(const QString& rel) {
    QDir().mkpath(QFileInfo(dir.file(rel)).absolutePath());
    QImage img(8, 6, QImage::Format_RGB32);
    img.fill(Qt::red);
    ASSERT_TRUE(img.save(dir.file(rel), "PNG"));
  }
  void Catalogue(const QList<QStringList>& rows, const QByteArray& tree = {}) {
    QByteArray bytes = rixtest::TableLine(
        {"頁", "鍵", "說", "模", "列", "遊", "圖", "前", "後", "9", "10", "11", "網"});
    for (const QStringList& r : rows) bytes += rixtest::TableLine(r);
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), bytes));
    QByteArray t = tree;
    if (t.isEmpty())
      for (int i = 0; i < rows.size(); ++i)
        t += "e" + QByteArray::number(i + 1) + "," + rows[i][1].toLatin1() + "\r\n";
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), t));
    MainFormSetup s;
    s.appDir = dir.path();
    s.tempDir = dir.path() + "tmp/";
    s.dialogs = &dialogs;
    form = std::make_unique<TMainForm>(s);
    form->resize(800, 600);
    form->show();
  }
  void Select(int row) {
    form->EmuGrid->setRow(row);
    form->EmuGridClickCell(form->EmuGrid, row, 0);
  }
  QString Panel() const { return form->RomPanel->text(); }
  QPoint CellPoint(StringGrid* g, int col, int row) {
    const QModelIndex i = g->gridModel()->index(g->gridModel()->toModelRow(row), col);
    g->scrollTo(i);
    return g->visualRect(i).center();
  }

  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
  std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(SelectionTest, MarkersCountAndFirstPictureAfterALoad) {
  Catalogue({Emu("Common", 1, "lists\\a.lst", "games\\a", "pics\\a\\")});
  EXPECT_EQ(form->RomListFile, dir.path() + "lists\\a.lst");
  StringGrid* g = form->RomGrid;
  ASSERT_EQ(g->rowCount(), 5);
  EXPECT_EQ(g->cellImage(0, 1), 1);  // alpha.zip present, the member is not looked for
  EXPECT_EQ(g->cellImage(0, 2), 0);  // beta.rom is a directory
  EXPECT_EQ(g->cellImage(0, 3), 0);  // ";x": the game directory itself
  EXPECT_EQ(g->cellImage(0, 4), 1);  // a sub-directory, found without regard to case
  EXPECT_EQ(form->RomMember, "");
  EXPECT_EQ(Panel(), QStringLiteral("遊戲總數: 4"));
  EXPECT_TRUE(form->GameImage->isVisible());
  EXPECT_EQ(form->GameImage->imageName(), dir.path() + "pics/a/alpha.png");
  EXPECT_EQ(form->RomGrid->popupMenu(), form->GridPopupMenu);
  EXPECT_GT(g->columnWidth(1), 22);
  // The rest of the selection: command parts, page, link.
  EXPECT_EQ(form->CommandEdit1->text(), "-b");
  EXPECT_EQ(form->SetNotebook->currentWidget()->objectName(), "Common");
  EXPECT_EQ(form->WWWLink->text(), "rixfront.example/e1");
  EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(SelectionTest, EveryRowOfALongListIsMarkedWhateverItsName) {
  // Long enough to be looked up on two threads; names in a sub-directory
  // and a present directory among them, near both ends and the middle.
  QList<QStringList> rows;
  const int n = 10001;
  for (int i = 0; i < n; ++i) {
    const QString id = QString::number(i);
    switch (i % 4) {
      case 0:
        rows.append({"", id, "", "G" + id + ".zip", ""});
        Touch("games/a/g" + id + ".ZIP");
        break;
      case 1:
        rows.append({"", id, "", "missing" + id + ".zip", ""});
        break;
      case 2:
        rows.append({"", id, "", "Deep\\Game.ROM", ""});
        break;
      default:
        rows.append({"", id, "", "beta.rom;x", ""});
        break;
    }
  }
  WriteList("lists\\a.lst", rows);
  Catalogue({Emu("Common", 1, "lists\\a.lst", "games\\a", "pics\\a\\")});
  StringGrid* g = form->RomGrid;
  ASSERT_EQ(g->rowCount(), n + 1);
  int wrong = 0;
  for (int r = 1; r <= n; ++r)
    wrong += g->cellImage(0, r) != ((r - 1) % 4 == 0 || (r - 1) % 4 == 2 ? 1 : 0);
  EXPECT_EQ(wrong, 0);
}

TEST_F(SelectionTest, SameListKeepsItsEditsWhileTheRestIsReset) {
  Touch("games/b/BETA.ROM");
  Catalogue({Emu("Common", 1, "lists\\a.lst", "games\\a", "pics\\a\\"),
             Emu("Common", 2, " lists\\a.lst ", "games\\b", "pics\\a\\")});
  form->RomGrid->setCell(1, 1, "edited");
  form->CommandEdit1->setText("typed");
  Select(1);
  EXPECT_EQ(form->RomGrid->cell(1, 1).toByteArray(), "edited");
  EXPECT_EQ(form->CommandEdit1->text(), "-b");
  // A second emulator naming the same list shares it with its edits, but its
  // lamps tell of its own game directory; and back again.
  Select(2);
  EXPECT_EQ(form->RomGrid->cell(1, 1).toByteArray(), "edited");
  EXPECT_EQ(form->RomGrid->cellImage(0, 1), 0);
  EXPECT_EQ(form->RomGrid->cellImage(0, 2), 1);
  EXPECT_EQ(form->WWWLink->text(), "rixfront.example/e2");
  Select(1);
  EXPECT_EQ(form->RomGrid->cell(1, 1).toByteArray(), "edited");
  EXPECT_EQ(form->RomGrid->cellImage(0, 1), 1);
  EXPECT_EQ(form->RomGrid->cellImage(0, 2), 0);
  EXPECT_EQ(Panel(), QStringLiteral("遊戲總數: 4"));
}

TEST_F(SelectionTest, MissingListIsReportedAndTriedAgain) {
  Catalogue({Emu("Common", 1, "lists\\a.lst", "games\\a", "pics\\a\\"),
             Emu("", 2, "lists\\late.lst", "games\\a", ""), Emu("", 3, "", "", "")});
  ASSERT_TRUE(form->GameImage->isVisible());
  Select(2);
  // The path looked for, in this system's form.
  EXPECT_EQ(Panel(),
            QStringLiteral("找不到 '") + dir.path() + QStringLiteral("lists/late.lst' 檔案！"));
  EXPECT_EQ(form->RomListFile, "");
  EXPECT_EQ(form->RomGrid->rowCount(), 2);
  EXPECT_FALSE(form->GameImage->isVisible());  // no game, no picture of the last emulator
  EXPECT_EQ(form->RomGrid->popupMenu(), nullptr);
  WriteList("lists\\late.lst", {{"", "Late", "", "alpha.zip", ""}});
  Select(2);
  EXPECT_EQ(Panel(), QStringLiteral("遊戲總數: 1"));
  EXPECT_EQ(form->RomListFile, dir.path() + "lists\\late.lst");
  // An empty column 4 names the application directory, which is no file.
  Select(3);
  EXPECT_EQ(Panel(), QStringLiteral("找不到 '") + dir.path() + QStringLiteral("' 檔案！"));
  EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(SelectionTest, OptionsPagesFollowColumnZero) {
  Catalogue({Emu("zsnes", 1, "lists\\a.lst", "", ""), Emu("neorage", 2, "", "", "", "-vga -f3"),
             Emu("other", 3, "", "", "")});
  EXPECT_EQ(form->SetNotebook->currentWidget(), static_cast<QWidget*>(form->ZsnesPage));
  auto* grid = form->ZsnesPage->findChild<QTableWidget*>("zSNESGrid");
  ASSERT_NE(grid, nullptr);
  EXPECT_EQ(grid->item(0, 1)->text(), "Play 1");
  EXPECT_EQ(grid->item(1, 0)->text(), QStringLiteral("右"));
  EXPECT_EQ(grid->item(12, 0)->text(), "R");
  Select(2);
  EXPECT_EQ(form->SetNotebook->currentWidget(), static_cast<QWidget*>(form->NeoRagePage));
  EXPECT_TRUE(form->NeoRagePage->VsyncChk->isChecked());
  EXPECT_EQ(form->NeoRagePage->FrameskipEdit->text(), "3");
  EXPECT_EQ(form->CommandEdit2->text(), "-vga -f3");  // parsing writes nothing back
  Select(3);
  EXPECT_EQ(form->SetNotebook->currentWidget(), static_cast<QWidget*>(form->CommonPage));
}

TEST_F(SelectionTest, PicturePathsJoinAsTheyStand) {
  WriteList("lists\\p.lst", {{"", "", "", "", "ab.gif"},
                             {"", "", "", "", "  AB.GIF "},
                             {"", "", "", "", ""},
                             {"", "", "", "", "a.bmp"}});
  Picture("picsab.gif");   // what "pics" + "ab.gif" names
  Picture("pics/ab.gif");  // a misnamed picture is still shown
  Picture("shots/a.bmp");
  Catalogue({Emu("", 1, "lists\\p.lst", "", "pics"), Emu("", 2, "lists\\p.lst", "", "pics\\"),
             Emu("", 3, "lists\\p.lst", "", "shots\\")});
  EXPECT_TRUE(form->GameImage->isVisible());
  EXPECT_EQ(form->GameImage->imageName(), dir.path() + "picsab.gif");
  Select(2);
  form->RomGridClickCell(form->RomGrid, 2, 0);
  EXPECT_TRUE(form->GameImage->isVisible());
  EXPECT_EQ(form->GameImage->imageName(), dir.path() + "pics/ab.gif");
  form->RomGridClickCell(form->RomGrid, 3, 0);  // empty columns: the application directory
  EXPECT_FALSE(form->GameImage->isVisible());
  Select(3);
  form->RomGridClickCell(form->RomGrid, 4, 0);
  EXPECT_TRUE(form->GameImage->isVisible());
  EXPECT_EQ(form->GameImage->imageName(), dir.path() + "shots/a.bmp");
}

TEST_F(SelectionTest, KeysAndMouseOnTheListShowPicturesAndFailuresAreReported) {
  Catalogue(
      {Emu("", 1, "lists\\a.lst", "games\\a", "pics\\a\\"), Emu("", 2, "lists\\none.lst", "", "")});
  StringGrid* g = form->RomGrid;
  g->setFocus();
  g->setCursor(0, 1);
  QTest::keyClick(g, Qt::Key_Down);
  EXPECT_FALSE(form->GameImage->isVisible());  // beta.png does not exist
  g->setCursor(0, 4);
  QTest::keyRelease(g, Qt::Key_Down);
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].kind, "info");
  EXPECT_EQ(dialogs.shown()[0].text, "Reading png file failed");
  EXPECT_EQ(dialogs.shown()[0].buttons, QStringList{QStringLiteral("確定")});
  g->setCursor(0, 1);
  QTest::mouseClick(g->viewport(), Qt::LeftButton, {},
                    g->visualRect(g->gridModel()->index(0, 1)).center());
  EXPECT_TRUE(form->GameImage->isVisible());
  // With no list loaded, releases change nothing.
  Select(2);
  const bool visible = form->GameImage->isVisible();
  QTest::keyRelease(g, Qt::Key_Up);
  QTest::mouseClick(g->viewport(), Qt::LeftButton, {}, QPoint(5, 5));
  EXPECT_EQ(form->GameImage->isVisible(), visible);
  EXPECT_EQ(dialogs.shown().size(), 1);
}

TEST_F(SelectionTest, ALoneBlankRowIsNoGameAndHeaderPressSelectsNothing) {
  ASSERT_TRUE(rixtest::WriteAll(dir.file("lists/blank.lst"), "h\r\n , \r\n"));
  Catalogue({Emu("", 1, "lists\\blank.lst", "", ""), Emu("", 2, "lists\\a.lst", "", "")});
  EXPECT_EQ(Panel(), QStringLiteral("遊戲總數: 0"));
  form->ShowEmuGrid1Click();
  QHeaderView* h = form->EmuGrid->horizontalHeader();
  QTest::mousePress(h->viewport(), Qt::LeftButton, {},
                    QPoint(h->sectionViewportPosition(1) + 3, 5));
  EXPECT_EQ(form->RomListFile, dir.path() + "lists\\blank.lst");
  // A press on a data row selects that emulator; so does a key release.
  const QRect r = form->EmuGrid->visualRect(form->EmuGrid->gridModel()->index(1, 0));
  QTest::mousePress(form->EmuGrid->viewport(), Qt::LeftButton, {}, r.center());
  EXPECT_EQ(form->RomListFile, dir.path() + "lists\\a.lst");
  QTest::keyClick(form->EmuGrid, Qt::Key_Up);
  EXPECT_EQ(form->RomListFile, dir.path() + "lists\\blank.lst");
}

TEST_F(SelectionTest, TreeNodesSelectTheirEmulatorsAndHeadingsEmptyTheList) {
  Catalogue({Emu("", 2, "lists\\a.lst", "games\\a", ""), Emu("", 7, "lists\\b.lst", "", ""),
             Emu("", 7, "lists\\c.lst", "", "")},
            rixtest::Big5("標題\r\n\tA,  2\r\n\tB,7\r\n\tNone,9\r\n\tNeg,-1\r\n"));
  WriteList("lists\\b.lst", {{"", "b"}});
  // The load shows the node of row 1 without selecting through it; row 1 is selected.
  EXPECT_EQ(form->EmuTree->Selected()->text(0), QStringLiteral("A"));
  EXPECT_EQ(form->RomListFile, dir.path() + "lists\\a.lst");
  QTreeWidgetItem* heading = form->EmuTree->topLevelItem(0);
  form->EmuTree->setCurrentItem(heading->child(1));  // key 7: the upper of two rows
  EXPECT_EQ(form->EmuGrid->row(), 2);
  EXPECT_EQ(form->RomListFile, dir.path() + "lists\\b.lst");
  form->EmuTree->setCurrentItem(heading);
  EXPECT_EQ(form->RomListFile, "");
  EXPECT_EQ(form->RomGrid->rowCount(), 2);
  EXPECT_EQ(Panel(), QStringLiteral("遊戲總數: 0"));  // not the last emulator's count
  form->EmuTree->setCurrentItem(heading->child(1));   // the same emulator loads its list again
  EXPECT_EQ(form->RomGrid->rowCount(), 2);
  EXPECT_EQ(form->RomGrid->cell(1, 1).toByteArray(), "b");
  for (int i : {2, 3}) {
    form->EmuTree->setCurrentItem(heading->child(i));
    EXPECT_EQ(form->RomListFile, "") << i;
  }
  // Arrow keys select like a click.
  form->EmuTree->setFocus();
  form->EmuTree->setCurrentItem(heading->child(0));
  QTest::keyClick(form->EmuTree, Qt::Key_Down);
  EXPECT_EQ(form->RomListFile, dir.path() + "lists\\b.lst");
}

TEST_F(SelectionTest, TreeFileErrorsStopTheLoad) {
  Catalogue({Emu("", 1, "lists\\a.lst", "", "")}, "A\r\n\t\tB,1\r\n");
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("項目 \"B\" 不正確的階層 (level) (2)"));
  EXPECT_EQ(form->EmuTree->topLevelItemCount(), 1);
  EXPECT_EQ(form->RomListFile, "");  // the first emulator is not selected
  QFile::remove(dir.file("EmuTree.ini"));
  form->Reload2->trigger();
  ASSERT_EQ(dialogs.shown().size(), 2);
  EXPECT_EQ(dialogs.shown()[1].text, QStringLiteral("無法開啟檔案 ") + dir.path() + "EmuTree.ini");
  EXPECT_EQ(form->EmuTree->topLevelItemCount(), 0);
  EXPECT_FALSE(form->CatalogueLoading);
}

TEST_F(SelectionTest, ReloadReadsTheListAgainOrTheWholeCatalogue) {
  Catalogue({Emu("", 1, "lists\\a.lst", "games\\a", "pics\\a\\")});
  form->ActiveGrid = form->RomGrid;
  form->RomGrid->setCell(1, 1, "unsaved");
  // A reload asks first, as a selection does; No drops the edits.
  dialogs.answerButton(Dialogs::No);
  form->ReloadSB->trigger();
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("列表內容已修改，是否存檔？"));
  EXPECT_EQ(form->RomGrid->cell(1, 1).toByteArray(), "Alpha");  // list read again
  EXPECT_EQ(Panel(), QStringLiteral("遊戲總數: 4"));
  form->ActiveGrid = form->EmuGrid;
  form->EmuGrid->setCell(1, 1, "changed");
  dialogs.answerButton(Dialogs::No);
  form->Reload1->trigger();
  EXPECT_EQ(form->EmuGrid->cell(1, 1).toByteArray(), "1");
  // Yes saves the table before it is read again.
  form->EmuGrid->setCell(7, 1, "-saved");
  dialogs.answerButton(Dialogs::Yes);
  form->Reload2->trigger();
  EXPECT_EQ(dialogs.shown().size(), 3);
  EXPECT_EQ(form->EmuGrid->cell(7, 1).toByteArray(), "-saved");
  EXPECT_TRUE(rixtest::ReadAll(dir.file("RixFront.ini")).contains(",-saved,"));
  // Nothing typed, nothing asked.
  form->Reload1->trigger();
  EXPECT_EQ(dialogs.shown().size(), 3);
}

TEST_F(SelectionTest, APressOnALinkCellOfEitherGridOpensItsFullText) {
  WriteList("lists\\l.lst", {{"", "Neo", "mailto:neo@rixfront.example", "", ""}});
  Catalogue({Emu("Common", 1, "lists\\l.lst", "games\\a", "pics\\a\\")});
  rixtest::UrlRecorder urls;
  form->ShowEmuGrid1Click();
  QTest::mousePress(form->EmuGrid->viewport(), Qt::LeftButton, {}, CellPoint(form->EmuGrid, 12, 1));
  QTest::mousePress(form->RomGrid->viewport(), Qt::LeftButton, {}, CellPoint(form->RomGrid, 2, 1));
  QTest::mousePress(form->RomGrid->viewport(), Qt::LeftButton, {},
                    CellPoint(form->RomGrid, 1, 1));  // not a link
  EXPECT_EQ(urls.opened, (QList<QUrl>{QUrl("http://rixfront.example/e1/"),
                                      QUrl("mailto:neo@rixfront.example")}));
}

TEST_F(SelectionTest, PopupShortcutsActOnlyWhileTheirOwnWidgetHasTheFocus) {
  Catalogue({Emu("Common", 1, "lists\\a.lst", "games\\a", "pics\\a\\")});
  form->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  // The tree: Ctrl+R reads the table and the tree again, Ctrl+G shows the table.
  QByteArray cat = rixtest::ReadAll(dir.file("RixFront.ini"));
  cat.replace(",-b,", ",-again,");
  ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), cat));
  form->EmuTree->setFocus();
  QTest::keyClick(form->EmuTree, Qt::Key_R, Qt::ControlModifier);
  EXPECT_EQ(form->EmuGrid->cell(7, 1).toByteArray(), "-again");
  const int listRows = form->RomGrid->rowCount();
  QTest::keyClick(form->EmuTree, Qt::Key_I, Qt::ControlModifier);  // a grid's key
  EXPECT_EQ(form->RomGrid->rowCount(), listRows);
  QTest::keyClick(form->EmuTree, Qt::Key_G, Qt::ControlModifier);
  EXPECT_TRUE(form->EmuGrid->isVisible());
  EXPECT_FALSE(form->EmuTree->isVisible());
  // Both grids: Ctrl+I inserts a row into the grid pressed last.
  QTest::mouseClick(form->RomGrid->viewport(), Qt::LeftButton, {}, CellPoint(form->RomGrid, 0, 1));
  QTest::keyClick(form->RomGrid, Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(form->RomGrid->rowCount(), listRows + 1);
  const int emuRows = form->EmuGrid->rowCount();
  QTest::mouseClick(form->EmuGrid->viewport(), Qt::LeftButton, {}, CellPoint(form->EmuGrid, 0, 1));
  QTest::keyClick(form->EmuGrid, Qt::Key_I, Qt::ControlModifier);
  EXPECT_EQ(form->EmuGrid->rowCount(), emuRows + 1);
}

TEST_F(SelectionTest, ChangedTablesAreOfferedForSavingBeforeTheyAreLost) {
  WriteList("lists\\b.lst", {{"", "Other", "", "", ""}});
  Catalogue({Emu("Common", 1, "lists\\a.lst", "games\\a", "pics\\a\\"),
             Emu("Common", 2, "lists\\b.lst", "games\\a", "pics\\a\\")});
  const QString aList = dir.file("lists/a.lst");
  const QByteArray aBefore = rixtest::ReadAll(aList);
  StringGrid* g = form->RomGrid;
  auto questions = [&] {
    int n = 0;
    for (const auto& box : dialogs.shown())
      n += box.text == QStringLiteral("列表內容已修改，是否存檔？");
    return n;
  };
  // Nothing changed, nothing asked; loaded lists, saves and reloads start unchanged.
  Select(2);
  Select(1);
  EXPECT_EQ(questions(), 0);
  // Typing, then another list: No drops the edit.
  g->gridModel()->setData(g->gridModel()->index(0, 1), QStringLiteral("Typed"));
  dialogs.answerButton(Dialogs::No);
  Select(2);
  ASSERT_EQ(questions(), 1);
  EXPECT_EQ(dialogs.shown().last().kind, "confirm");
  EXPECT_EQ(dialogs.shown().last().buttons, (QStringList{"是(&Y)", "否(&N)"}));
  EXPECT_EQ(rixtest::ReadAll(aList), aBefore);
  Select(1);
  EXPECT_EQ(g->cell(1, 1).toByteArray(), "Alpha");
  // A deleted row, then a tree heading: Yes saves first.
  g->removeRow(2);
  dialogs.answerButton(Dialogs::Yes);
  form->EmuTree->setCurrentItem(nullptr);
  form->EmuTreeClick();
  EXPECT_EQ(questions(), 2);
  EXPECT_FALSE(rixtest::ReadAll(aList).contains("Beta"));
  Select(1);
  EXPECT_EQ(g->rowCount(), 4);
  // A reload asks too; No drops the edits.
  g->setCell(1, 1, "x");
  form->ActiveGrid = g;
  dialogs.answerButton(Dialogs::No);
  form->Reload1Click();
  EXPECT_EQ(g->cell(1, 1).toByteArray(), "Alpha");
  EXPECT_EQ(questions(), 3);
  // Closing asks for the list, then for the emulator table.
  g->setCell(1, 1, "closing");
  form->EmuGrid->setCell(7, 1, "-new");
  dialogs.answerButton(Dialogs::No);
  dialogs.answerButton(Dialogs::Yes);
  EXPECT_TRUE(form->close());
  EXPECT_EQ(questions(), 5);
  EXPECT_FALSE(rixtest::ReadAll(aList).contains("closing"));
  EXPECT_TRUE(rixtest::ReadAll(dir.file("RixFront.ini")).contains(",-new,"));
  // A save that fails on the way out keeps the window open.
  form->show();
  const QByteArray saved = rixtest::ReadAll(aList);
  for (int r = 1; r < 400; ++r) g->setCell(5, r, QByteArray(100, 'y'));
  dialogs.answerButton(Dialogs::Yes);
  rixtest::WithFileSizeLimit(4096, [&] { EXPECT_FALSE(form->close()); });
  EXPECT_EQ(dialogs.shown().last().kind, "error");
  EXPECT_TRUE(form->isVisible());
  EXPECT_EQ(rixtest::ReadAll(aList), saved);
}

TEST_F(SelectionTest, ScreenReadersFindEveryPartByName) {
  Catalogue({Emu("NeoRage", 1, "lists\\a.lst", "games\\a", "pics\\a\\")});
  auto iface = [](QObject* o) { return QAccessible::queryAccessibleInterface(o); };
  auto name = [&](QObject* o) { return iface(o)->text(QAccessible::Name); };
  EXPECT_EQ(name(form->EmuGrid), QStringLiteral("模擬器列表"));
  EXPECT_EQ(name(form->RomGrid), QStringLiteral("遊戲列表"));
  EXPECT_EQ(name(form->EmuTree), QStringLiteral("模擬器階層"));
  EXPECT_EQ(name(form->GameImage), QStringLiteral("遊戲圖片"));
  EXPECT_EQ(name(form->NeoRagePage->FrameskipUpDown->upButton()), QStringLiteral("增加"));
  EXPECT_EQ(name(form->NeoRagePage->FrameskipUpDown->downButton()), QStringLiteral("減少"));
  QStringList panels;
  for (QLabel* panel : form->StatusPanels) panels << name(panel);
  EXPECT_EQ(panels.join(u','), QStringLiteral("游標位置,修改狀態,總行數,首行,位元組數,輸入模式"));
  // A lamp says whether the game is there.
  QAccessibleTableInterface* table = iface(form->RomGrid)->tableInterface();
  ASSERT_NE(table, nullptr);
  EXPECT_EQ(table->cellAt(0, 0)->text(QAccessible::Name), QStringLiteral("遊戲檔案存在"));
  EXPECT_EQ(table->cellAt(1, 0)->text(QAccessible::Name), QStringLiteral("找不到遊戲檔案"));
  EXPECT_EQ(table->cellAt(0, 1)->text(QAccessible::Name), "Alpha");
  // The web link is a link whose press opens the address.
  QAccessibleInterface* link = iface(form->WWWLink);
  EXPECT_EQ(link->role(), QAccessible::Link);
  EXPECT_EQ(link->text(QAccessible::Name), "rixfront.example/e1");
  rixtest::UrlRecorder urls;
  ASSERT_NE(link->actionInterface(), nullptr);
  link->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_EQ(urls.opened, QList<QUrl>{QUrl("http://rixfront.example/e1")});
  // The banner is named and its press opens the about window.
  QAccessibleInterface* banner = iface(form->RixLED1);
  EXPECT_EQ(banner->text(QAccessible::Name), QStringLiteral("跑馬燈"));
  EXPECT_EQ(banner->text(QAccessible::Description), form->RixLED1->Text());
  ASSERT_NE(banner->actionInterface(), nullptr);
  bool opened = false;
  QTimer::singleShot(50, [&] {
    auto* box = qobject_cast<TAboutForm*>(QApplication::activeModalWidget());
    opened = box != nullptr;
    if (box) box->close();
  });
  banner->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_TRUE(opened);
}

TEST_F(SelectionTest, AListOfOneHugeLineShowsQuicklyInBoundedMemory) {
  const qsizetype size = qsizetype(200) << 20;
  {
    QByteArray line = rixtest::Big5("名稱") + ',' + QByteArray(size, 'W') + ",end\r\n";
    ASSERT_TRUE(rixtest::WriteAll(dir.file("lists/huge.lst"), line));
  }
  QElapsedTimer t;
  t.start();
  const qint64 grew = rixtest::PeakMemoryGrowth([&] {
    Catalogue({Emu("Common", 1, "lists\\huge.lst", "games\\a", "pics\\a\\")});
    form->grab();  // painted once, header included
  });
  EXPECT_LT(t.elapsed(), 10000);
  EXPECT_LT(grew, 3 * size);
  EXPECT_EQ(form->RomGrid->cell(1, 0).size(), size);  // the bytes stay whole
  EXPECT_EQ(form->RomGrid->cell(2, 0).toByteArray(), "end");
}

TEST_F(SelectionTest, TheLampsThatFollowTheRowsReachTheScreen) {
  // The rows of a new list are drawn before its directory is listed; the
  // lamps set afterwards must be drawn too, not only stored.
  WriteList("lists\\b.lst",
            {{"", "Gamma", "", "gamma.zip", ""}, {"", "Delta", "", "delta.zip", ""}});
  Touch("games/b/gamma.zip");
  Catalogue({Emu("Common", 1, "lists\\a.lst", "games\\a", "pics\\a\\"),
             Emu("Common", 2, "lists\\b.lst", "games\\b", "pics\\b\\")});
  ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
  Select(2);
  QCoreApplication::processEvents();
  StringGrid* g = form->RomGrid;
  ASSERT_EQ(g->cellImage(0, 1), 1);
  ASSERT_EQ(g->cellImage(0, 2), 0);
  const QPoint at = g->viewport()->mapTo(form.get(), QPoint(0, 0));
  const QImage shown = form->screen()
                           ->grabWindow(form->winId(), at.x(), at.y(), g->viewport()->width(),
                                        g->viewport()->height())
                           .toImage()
                           .convertToFormat(QImage::Format_RGB32);
  const QImage fresh = g->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), fresh.size());
  EXPECT_TRUE(shown == fresh);
}

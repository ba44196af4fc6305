#include <gtest/gtest.h>
#include <sys/resource.h>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QFocusFrame>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <QToolBar>
#include <QTreeWidget>
#include <csignal>

#include "TestSupport.h"
#include "app/PanelLabel.h"
#include "app/TMainForm.h"
#include "banner/TRixLED.h"
#include "catalogue/EmulatorRow.h"
#include "platform/Big5.h"
#include "widgets/AutoTreeView.h"
#include "widgets/DocEditor.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

QByteArray Header() {
  return rixtest::TableLine({"頁", "鍵", "說明檔", "模擬器", "列表", "遊戲目錄", "圖片目錄", "前",
                             "後", "模", "遊", "目", "網址"});
}

class MainFormTest : public ::testing::Test {
protected:
  std::unique_ptr<TMainForm> Make(QWidget* splash = nullptr) {
    MainFormSetup s;
    s.appDir = dir.path();
    s.tempDir = dir.path() + "tmp/";
    s.dialogs = &dialogs;
    s.splash = splash;
    return std::make_unique<TMainForm>(s);
  }
  void WriteCatalogue(const QList<QStringList>& rows) {
    QByteArray bytes = Header();
    for (const QStringList& r : rows) bytes += rixtest::TableLine(r);
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), bytes));
    if (!QFile::exists(dir.file("EmuTree.ini"))) {
      ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), rixtest::Big5("全部\r\n\t一,1\r\n")));
    }
  }
  QPoint CellPoint(StringGrid* g, int col, int row) {
    return g->visualRect(g->gridModel()->index(g->gridModel()->toModelRow(row), col)).center();
  }

  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(MainFormTest, MissingCatalogueShowsTheFileErrorAndAnEmptyTable) {
  auto form = Make();
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].kind, "error");
  EXPECT_EQ(dialogs.shown()[0].caption, QStringLiteral("錯誤"));
  EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("找不到檔案"));
  EXPECT_EQ(form->EmuGrid->rowCount(), 2);
  EXPECT_TRUE(form->EmuGrid->cell(0, 0).isEmpty());
  EXPECT_FALSE(form->CatalogueLoading);
  EXPECT_EQ(form->windowTitle(), "RIX FrontEnd v0.8");
  EXPECT_EQ(form->size(), QSize(681, 605));
}

TEST_F(MainFormTest, ACatalogueWithoutEmulatorsSaysHowToAddOneAndTheStepsWork) {
  auto hinted = [](TMainForm& f) {
    const QString text = f.RomPanel->text();
    return text.contains(QStringLiteral("「顯示模擬器列表」")) &&
           text.contains(QStringLiteral("「編輯模式」")) &&
           text.contains(QStringLiteral("「存檔」"));
  };
  // A missing catalogue: the error, and then the hint.
  EXPECT_TRUE(hinted(*Make()));
  ASSERT_EQ(dialogs.shown().size(), 1);
  // Rows of blanks only are no emulators either.
  WriteCatalogue({{" ", "\t"}});
  EXPECT_TRUE(hinted(*Make()));

  ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), rix::NewCatalogueHeader()));
  auto form = Make();
  EXPECT_EQ(dialogs.shown().size(), 1);
  EXPECT_TRUE(hinted(*form));
  // Following it: the table, edit mode on it, the first row typed in, save.
  form->show();
  QApplication::setActiveWindow(form.get());
  form->ShowEmuGrid1->trigger();
  StringGrid* emu = form->EmuGrid;
  QTest::mousePress(emu->viewport(), Qt::RightButton, {}, CellPoint(emu, 4, 1));
  form->EditMode1->trigger();
  ASSERT_TRUE(emu->editMode());
  QTest::mouseClick(emu->viewport(), Qt::LeftButton, {}, CellPoint(emu, 4, 1));
  QTest::keyClick(emu, 'a');
  ASSERT_TRUE(QApplication::focusWidget());
  QTest::keyClicks(QApplication::focusWidget(), ".lst");
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QCoreApplication::processEvents();  // the editor commits through a queued call
  form->Save1->trigger();
  EXPECT_TRUE(rixtest::ReadAll(dir.file("RixFront.ini"))
                  .endsWith(",a.lst,\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\"\r\n"));
  // Read again, the row is an emulator: the panel speaks of its list.
  form->Reload1->trigger();
  EXPECT_EQ(form->RomPanel->text(), QStringLiteral("找不到 '") + dir.path() + "a.lst' 檔案！");
  EXPECT_EQ(dialogs.shown().size(), 1);
}

TEST_F(MainFormTest, CatalogueLoadsWithFittedColumnsAndTheTreeInFront) {
  WriteCatalogue({{"Common", "1", "docs\\a.txt", "emu\\a", "lists\\a.lst", "games\\a\\",
                   "pics\\a\\", "", "", "No", "No", "No", "http://rixfront.example/a/"},
                  {"NeoRage", "2"}});
  auto form = Make();
  EXPECT_TRUE(dialogs.shown().isEmpty());
  EXPECT_EQ(form->EmuGrid->rowCount(), 3);
  EXPECT_EQ(form->EmuGrid->colCount(), 13);
  EXPECT_EQ(form->EmuGrid->row(), 1);
  EXPECT_GT(form->EmuGrid->columnWidth(2), 22);
  form->show();
  EXPECT_TRUE(form->EmuTree->isVisible());
  EXPECT_TRUE(form->EmuGrid->isVisible());  // both shown; the tree lies on top
  form->ShowEmuGrid1->trigger();
  EXPECT_FALSE(form->EmuTree->isVisible());
  form->ShowTree1->trigger();
  EXPECT_FALSE(form->EmuGrid->isVisible());
  EXPECT_TRUE(form->EmuTree->isVisible());
}

TEST_F(MainFormTest, FirstShowFreesTheSplashCreatesDirectoriesAndActivatesTheGameList) {
  ASSERT_TRUE(rixtest::WriteAll(dir.file("blocker"), "x"));
  WriteCatalogue(
      {{"", "1", "docs\\x.txt", "emu\\demo", "lists\\l.lst", "games\\neo", "blocker\\p\\"}});
  QPointer<QWidget> splash = new QWidget;
  splash->show();
  auto form = Make(splash);
  EXPECT_TRUE(form->SplashPending);
  EXPECT_TRUE(QDir(dir.file("docs")).exists() == false);
  form->show();
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(splash.isNull());
  EXPECT_FALSE(form->SplashPending);
  EXPECT_EQ(form->ActiveGrid, form->RomGrid);
  EXPECT_TRUE(QDir(dir.file("docs")).exists());
  EXPECT_TRUE(QDir(dir.file("emu")).exists());
  EXPECT_TRUE(QDir(dir.file("lists")).exists());
  EXPECT_TRUE(QDir(dir.file("games")).exists());
  EXPECT_FALSE(QDir(dir.file("games/neo")).exists());  // no final "\": only the parent
  // The picture directory cannot be made under a file: one box, one Yes button.
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("目錄建立錯誤！"));
  EXPECT_EQ(dialogs.shown()[0].buttons, QStringList{QStringLiteral("是(&Y)")});
  // A second show does nothing of this again.
  form->hide();
  form->show();
  EXPECT_EQ(dialogs.shown().size(), 1);
}

TEST_F(MainFormTest, APressOnEitherGridMakesItActiveAndMirrorsItsEditMode) {
  WriteCatalogue({{"", "1"}, {"", "2"}});
  auto form = Make();
  form->show();
  form->ShowEmuGrid1Click();
  form->RomGrid->setEditMode(true);
  QTest::mousePress(form->RomGrid->viewport(), Qt::RightButton, {}, CellPoint(form->RomGrid, 0, 1));
  EXPECT_EQ(form->ActiveGrid, form->RomGrid);
  EXPECT_TRUE(form->EditMode1->isChecked());
  EXPECT_TRUE(form->EditModeSB->isChecked());
  QTest::mousePress(form->EmuGrid->viewport(), Qt::LeftButton, {}, CellPoint(form->EmuGrid, 1, 2));
  EXPECT_EQ(form->ActiveGrid, form->EmuGrid);
  EXPECT_FALSE(form->EditMode1->isChecked());
  EXPECT_FALSE(form->EditModeSB->isChecked());
  EXPECT_EQ(form->EmuGrid->row(), 2);
  // Keyboard focus alone does not change it.
  form->RomGrid->setFocus();
  EXPECT_EQ(form->ActiveGrid, form->EmuGrid);
}

TEST_F(MainFormTest, TableEditorsAndPickers) {
  WriteCatalogue({{"", "1", "docs\\a.txt", "emu\\run", "", "games\\", "pics\\"}});
  auto form = Make();
  using K = StringGrid::EditorKind;
  for (int c : {2, 3, 4, 5, 6}) EXPECT_EQ(form->EmuGridGetEditorType(c, 1), K::Ellipsis) << c;
  for (int c : {9, 10, 11}) EXPECT_EQ(form->EmuGridGetEditorType(c, 1), K::DropDown) << c;
  for (int c : {0, 1, 7, 8, 12}) EXPECT_EQ(form->EmuGridGetEditorType(c, 1), K::Plain) << c;
  EXPECT_EQ(form->EmuGrid->dropDownItems(), (QStringList{"No", "Yes"}));

  // A file under the application directory is stored relative to it, as the
  // catalogue writes paths; one elsewhere whole. The dialog starts in the
  // cell's directory.
  QByteArray value = "docs\\a.txt";
  dialogs.answerText(dir.path() + "docs/neo.txt");
  form->EmuGridEllipsClick(2, 1, value);
  EXPECT_EQ(value, "docs\\neo.txt");
  EXPECT_EQ(dialogs.shown().last().kind, "open");
  EXPECT_EQ(dialogs.shown().last().text, QStringLiteral("*.* 全部檔案|*.*"));
  EXPECT_EQ(dialogs.shown().last().preset, dir.path() + "docs/");
  EXPECT_FALSE(dialogs.shown().last().executables);
  dialogs.answerText("/somewhere/else/doc.txt");
  form->EmuGridEllipsClick(4, 1, value);
  EXPECT_EQ(value, "/somewhere/else/doc.txt");
  // The program picker lists runnable files beside its patterns, and all files.
  value = "emu\\run";
  dialogs.answerText(dir.path() + QStringLiteral("emu/模擬器"));
  form->EmuGridEllipsClick(3, 1, value);
  EXPECT_EQ(value, rixtest::Big5("emu\\模擬器"));
  EXPECT_EQ(dialogs.shown().last().text,
            QStringLiteral("執行檔|*.exe;*.com;*.bat|*.* 全部檔案|*.*"));
  EXPECT_TRUE(dialogs.shown().last().executables);
  // Folders keep their final separator, so that picture names join them.
  value = "games\\";
  dialogs.answerText("/srv/games");
  form->EmuGridEllipsClick(5, 1, value);
  EXPECT_EQ(value, "/srv/games/");
  EXPECT_EQ(dialogs.shown().last().kind, "folder");
  EXPECT_EQ(dialogs.shown().last().caption, QStringLiteral("選擇目錄"));
  EXPECT_EQ(dialogs.shown().last().text, QStringLiteral("選擇目錄："));
  EXPECT_EQ(dialogs.shown().last().preset, dir.path() + "games/");
  dialogs.answerText(dir.path() + "pics/neo");
  form->EmuGridEllipsClick(6, 1, value);
  EXPECT_EQ(value, "pics\\neo\\");
  value = "pics\\";
  dialogs.answerCancel();
  form->EmuGridEllipsClick(6, 1, value);
  EXPECT_EQ(value, "pics\\");
  EXPECT_EQ(dialogs.pending(), 0);
}

TEST_F(MainFormTest, AFailedSaveKeepsTheOldFileAndShowsTheError) {
  WriteCatalogue({{"", "1"}});
  const QByteArray before = rixtest::ReadAll(dir.file("RixFront.ini"));
  auto form = Make();
  form->show();
  QTest::mousePress(form->EmuGrid->viewport(), Qt::RightButton, {}, CellPoint(form->EmuGrid, 0, 1));
  for (int r = 0; r < 2000; ++r) form->EmuGrid->setCell(0, 1, QByteArray(200, 'x'));
  form->EmuGrid->setRowCount(400);
  for (int r = 1; r < 400; ++r) form->EmuGrid->setCell(1, r, QByteArray(100, 'y'));
  rixtest::WithFileSizeLimit(4096, [&] { form->SaveSB->trigger(); });
  ASSERT_FALSE(dialogs.shown().isEmpty());
  EXPECT_EQ(dialogs.shown().last().kind, "error");
  EXPECT_TRUE(dialogs.shown().last().text.startsWith(QStringLiteral("輸出入錯誤")));
  EXPECT_EQ(rixtest::ReadAll(dir.file("RixFront.ini")), before);
  // Once space is there, the same save writes the table byte for byte.
  form->SaveSB->trigger();
  const QByteArray after = rixtest::ReadAll(dir.file("RixFront.ini"));
  EXPECT_TRUE(after.startsWith(Header()));
  EXPECT_EQ(after.count("\r\n"), 400);
}

TEST_F(MainFormTest, WindowParts) {
  WriteCatalogue({});
  auto form = Make();
  form->show();
  // An empty catalogue opens the left column wide enough for the table's
  // first four columns, which the first emulator is typed into, whatever
  // the hint under the game list says, at the first size of the window.
  QCoreApplication::processEvents();
  int four = 0;
  for (int c = 0; c < 4; ++c) four += form->EmuGrid->columnWidth(c);
  EXPECT_GE(form->Splitter1->sizes().value(0), four);
  EXPECT_EQ(form->CommandEdit1->width(), form->RomPage->width() - 25);
  EXPECT_EQ(form->CommandEdit2->width(), form->CommandEdit1->width());
  form->resize(900, 700);
  QCoreApplication::processEvents();
  EXPECT_EQ(form->CommandEdit1->width(), form->RomPage->width() - 25);
  EXPECT_EQ(form->RomPage->count(), 3);
  EXPECT_EQ(form->RomPage->tabText(0), QStringLiteral("遊戲"));
  EXPECT_EQ(form->RomPage->currentIndex(), 0);
  // The toolbar: 15 buttons with their hints, in order.
  QStringList hints;
  for (QAction* a : form->GridToolBar->actions()) hints << (a->isSeparator() ? "|" : a->toolTip());
  EXPECT_EQ(hints.join(','),
            QStringLiteral("編輯模式,重新載入,存檔,另存 HTML,|,搜尋,再找,|,自動建立列表,插入一列,"
                           "刪除一列,清除一列,全部清除,|,列印"));
  EXPECT_EQ(form->FindNext1->shortcut(), QKeySequence(Qt::Key_F3));
  EXPECT_EQ(form->ClearAll1->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_Delete));
  EXPECT_EQ(form->RowUniform1->data().toInt(), 3);
  // The toolbar items carry a check mark that follows the toolbar, however it
  // is hidden; the documentation's too, while its tab is not even shown.
  EXPECT_TRUE(form->GridToolBar1->isChecked());
  form->GridToolBar1->trigger();
  EXPECT_FALSE(form->GridToolBar->isVisible());
  EXPECT_FALSE(form->GridToolBar1->isChecked());
  form->GridToolBar1->trigger();
  EXPECT_TRUE(form->GridToolBar->isVisible());
  EXPECT_TRUE(form->GridToolBar1->isChecked());
  form->GridToolBar->hide();
  EXPECT_FALSE(form->GridToolBar1->isChecked());
  EXPECT_TRUE(form->MemoToolBar1->isChecked());
  form->MemoToolBar1->trigger();
  EXPECT_FALSE(form->MemoToolBar1->isChecked());
  form->MemoToolBar1->trigger();
  EXPECT_TRUE(form->MemoToolBar1->isChecked());
  EXPECT_FALSE(form->MemoToolBar->isHidden());

  EXPECT_EQ(form->StatusPanels.size(), 6);
  EXPECT_FALSE(form->Timer1->isActive());
  EXPECT_EQ(form->Timer1->interval(), 1000);
}

TEST_F(MainFormTest, TheBannerRunsBelowEveryToolbarAreaAcrossTheWholeWindow) {
  WriteCatalogue({});
  auto form = Make();
  form->show();
  for (Qt::ToolBarArea area : {Qt::LeftToolBarArea, Qt::BottomToolBarArea}) {
    form->addToolBar(area, form->GridToolBar);
    QCoreApplication::processEvents();
    const QRect led(form->RixLED1->mapTo(form.get(), QPoint(0, 0)), form->RixLED1->size());
    EXPECT_EQ(led, QRect(0, form->height() - 52, form->width(), 52)) << area;
    const QRect bar(form->GridToolBar->mapTo(form.get(), QPoint(0, 0)), form->GridToolBar->size());
    EXPECT_LT(bar.bottom(), led.top()) << area;
    // A toolbar standing upright keeps all its buttons in view.
    for (QAction* a : form->GridToolBar->actions()) {
      if (QWidget* w = form->GridToolBar->widgetForAction(a); w && !a->isSeparator()) {
        EXPECT_TRUE(w->isVisible()) << area << " " << a->toolTip().toStdString();
      }
    }
  }
}

TEST_F(MainFormTest, TheKeyboardReachesEveryPaneAndNeverAHiddenOne) {
  ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"),
                                rixtest::Big5("標題\r\n\t一,1\r\n\t二,2\r\n另一\r\n")));
  WriteCatalogue({{"", "1", "", "", "a.lst"}, {"", "2", "", "", "b.lst"}});
  ASSERT_TRUE(rixtest::WriteAll(dir.file("a.lst"), "h0,h1\r\n,A\r\n,A2\r\n"));
  ASSERT_TRUE(rixtest::WriteAll(dir.file("b.lst"), "h0,h1\r\n,B\r\n"));
  auto form = Make();
  form->show();
  QApplication::setActiveWindow(form.get());
  ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
  // At start the tree shows the emulator whose list is shown.
  EXPECT_EQ(form->EmuTree->Selected()->text(0), QStringLiteral("一"));
  auto focus = [] { return QApplication::focusWidget(); };
  ASSERT_EQ(focus(), form->RomGrid);
  EXPECT_EQ(form->PaneFocusFrame->widget(), form->RomGrid);  // the pane with the keys is framed
  // F6 goes on to the tab strip, the tree, the game list; Shift+F6 back.
  QTest::keyClick(focus(), Qt::Key_F6);
  EXPECT_EQ(focus(), form->RomPage->tabBar());
  QTest::keyClick(focus(), Qt::Key_F6);
  EXPECT_EQ(focus(), form->EmuTree);
  EXPECT_EQ(form->PaneFocusFrame->widget(), form->EmuTree);
  QTest::keyClick(focus(), Qt::Key_F6);
  EXPECT_EQ(focus(), form->RomGrid);
  QTest::keyClick(focus(), Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_EQ(focus(), form->EmuTree);
  QTest::keyClick(focus(), Qt::Key_F6, Qt::ShiftModifier);
  EXPECT_EQ(focus(), form->RomPage->tabBar());
  // Another tab chosen in the strip: F6 reaches its content after the tree.
  QTest::keyClick(focus(), Qt::Key_Right);
  QTest::keyClick(focus(), Qt::Key_Right);
  ASSERT_EQ(form->RomPage->currentIndex(), 2);
  QTest::keyClick(focus(), Qt::Key_F6);
  QTest::keyClick(focus(), Qt::Key_F6);
  EXPECT_EQ(focus(), form->EmuDoc);
  form->RomPage->setCurrentIndex(0);
  // Tab inside a grid still moves between its cells.
  form->RomGrid->setFocus();
  form->RomGrid->setCol(0);
  QTest::keyClick(form->RomGrid, Qt::Key_Tab);
  EXPECT_EQ(focus(), form->RomGrid);
  EXPECT_EQ(form->RomGrid->col(), 1);

  // Ctrl+G in the tree shows the table and hands it the keys: the arrows move
  // through the table, never through the hidden tree onto a heading.
  form->EmuTree->setFocus();
  form->CommandEdit1->setText("typed");
  QTest::keyPress(form->EmuTree, Qt::Key_G, Qt::ControlModifier);
  ASSERT_TRUE(form->EmuTree->isHidden());
  EXPECT_EQ(focus(), form->EmuGrid);
  // The keys' release reaches the table, but selects nothing again.
  QTest::keyRelease(focus(), Qt::Key_G, Qt::ControlModifier);
  QTest::keyRelease(focus(), Qt::Key_Control);
  EXPECT_EQ(form->CommandEdit1->text(), "typed");
  QTreeWidgetItem* shown = form->EmuTree->Selected();
  QTest::keyClick(focus(), Qt::Key_Down);
  EXPECT_EQ(form->EmuGrid->row(), 2);
  EXPECT_EQ(form->RomListFile, dir.path() + "b.lst");
  // A key that still finds the hidden tree goes nowhere; the table takes over.
  QTest::keyClick(form->EmuTree, Qt::Key_Down);
  QTest::keyClick(form->EmuTree, Qt::Key_Down);
  EXPECT_EQ(form->EmuTree->Selected(), shown);
  EXPECT_EQ(form->RomListFile, dir.path() + "b.lst");
  EXPECT_EQ(form->RomGrid->rowCount(), 2);
  EXPECT_EQ(focus(), form->EmuGrid);
  // The table is wide enough to show its first four columns.
  QCoreApplication::processEvents();
  int four = 0;
  for (int c = 0; c < 4; ++c) four += form->EmuGrid->columnWidth(c);
  EXPECT_GE(form->EmuGrid->viewport()->width(), four);
  EXPECT_TRUE(dialogs.shown().isEmpty());
}

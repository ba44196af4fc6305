#include <gtest/gtest.h>

#include <QMainWindow>
#include <QScreen>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>
#include <QToolBar>
#include <QWindow>

#include "TestSupport.h"
#include "app/PanelLabel.h"
#include "app/TMainForm.h"
#include "app/TWinSaver.h"
#include "options/ZsnesPage.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

class WinSaverTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(
        rixtest::WriteAll(dir.file("RixFront.ini"),
                          rixtest::TableLine({"頁", "鍵", "說明檔", "模擬器", "列表", "遊戲目錄",
                                              "圖片目錄", "前", "後", "模", "遊", "目", "網址"}) +
                              rixtest::TableLine({"zSNES", "1"})));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), rixtest::Big5("全部\r\n\t一,1\r\n")));
  }
  std::unique_ptr<TMainForm> Make(const QString& settings) {
    MainFormSetup s;
    s.appDir = dir.path();
    s.tempDir = dir.path() + "tmp/";
    s.dialogs = &dialogs;
    s.settingsDir = settings;
    return std::make_unique<TMainForm>(s);
  }
  std::unique_ptr<TMainForm> Make() { return Make(Config()); }
  QString Config() const { return dir.path() + "config/"; }
  QByteArray Ini() const { return rixtest::ReadAll(Config() + "tests_app.INI"); }
  QByteArray ToolBars() const { return rixtest::ReadAll(Config() + "ToolBar97.ini"); }
  static void Drag(QSplitter* split, int by) {
    QWidget* h = split->handle(1);
    const QPoint from = h->rect().center();
    const QPoint to =
        from + (split->orientation() == Qt::Horizontal ? QPoint(by, 0) : QPoint(0, by));
    QTest::mousePress(h, Qt::LeftButton, {}, from);
    QTest::mouseMove(h, to);
    QTest::mouseRelease(h, Qt::LeftButton, {}, to);
  }
  // What the toolbar does when the user drags it off its dock.
  static void Float(QToolBar* bar, QPoint at) {
    bar->setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
    bar->move(at);
    bar->show();
  }

  // The four bounds keys of a component as they stand in the file.
  static QByteArray Bounds(const char* name, const QWidget* w) {
    const QByteArray n(name);
    return n + "_Height=" + QByteArray::number(w->height()) + "\n" + n +
           "_Left=" + QByteArray::number(w->x()) + "\n" + n + "_Top=" + QByteArray::number(w->y()) +
           "\n" + n + "_Width=" + QByteArray::number(w->width()) + "\n";
  }

  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
};

}  // namespace

TEST_F(WinSaverTest, AFirstRunKeepsTheFormLayoutAndReadsNoToolbarGroup) {
  // Another program keeps its toolbars under the same key, one under our name.
  ASSERT_TRUE(rixtest::WriteAll(Config() + "ToolBar97.ini",
                                "[GridToolBar]\nRev=2\nVisible=0\nDockedTo=Dock972\n\n"
                                "[Palette]\nDockedTo=+\nFloatLeft=7\nRev=2\n"));
  ASSERT_TRUE(rixtest::WriteAll(Config() + "tests_app.INI", "[Other]\nMainForm_Width=300\n"));
  auto form = Make();
  EXPECT_EQ(form->WinSaver1->iniPath(), Config() + "tests_app.INI");
  form->show();
  EXPECT_EQ(form->size(), QSize(681, 605));
  EXPECT_EQ(form->toolBarArea(form->GridToolBar), Qt::TopToolBarArea);
  EXPECT_TRUE(form->GridToolBar->isVisible());
  ASSERT_TRUE(form->close());
  const QByteArray bars = ToolBars();
  EXPECT_TRUE(bars.contains("[Palette]\nDockedTo=+\nFloatLeft=7\nRev=2\n")) << bars.constData();
  EXPECT_TRUE(
      bars.contains("[GridToolBar]\nDockPos=0\nDockRow=0\nDockedTo=Dock971\nFloatLeft=0\n"
                    "FloatTop=0\nRev=2\nVisible=1\n"))
      << bars.constData();
  EXPECT_TRUE(Ini().startsWith("[Other]\nMainForm_Width=300\n\n[RixFrontEnd]\n"));
}

TEST_F(WinSaverTest, TheLayoutComesBackAtTheNextStart) {
  int panel4 = 0;
  {
    auto form = Make();
    form->show();
    form->resize(900, 560);
    form->move(40, 30);
    form->RomPage->setCurrentIndex(2);
    form->ZsnesPage->PageControl->setCurrentIndex(3);
    Drag(form->Splitter1, 80);
    Drag(form->Splitter2, -40);
    form->addToolBar(Qt::LeftToolBarArea, form->GridToolBar);
    Float(form->MemoToolBar, {300, 200});
    QCoreApplication::processEvents();
    ASSERT_EQ(form->GridToolBar->width(), 26);
    panel4 = form->Panel4->width();
    ASSERT_TRUE(form->close());
    EXPECT_EQ(Ini(), "[RixFrontEnd]\n" + Bounds("ImagePanel", form->ImagePanel) +
                         "MainForm_Height=560\nMainForm_Left=40\nMainForm_Top=30\n"
                         "MainForm_Width=900\nMainForm_WindowState=2\n"
                         "PageControl1_ActivePage=3\n" +
                         Bounds("PageControl1", form->ZsnesPage->PageControl) +
                         Bounds("Panel1", form->Panel1) + Bounds("Panel4", form->Panel4) +
                         "RomPage_ActivePage=2\n" + Bounds("RomPage", form->RomPage) +
                         Bounds("RomPanel", form->RomPanel));
    EXPECT_EQ(ToolBars(),
              "[GridToolBar]\nDockPos=0\nDockRow=0\nDockedTo=Dock972\nFloatLeft=0\nFloatTop=0\n"
              "Rev=2\nVisible=1\n\n"
              "[MemoToolBar]\nDockPos=0\nDockRow=0\nDockedTo=+\nFloatLeft=300\nFloatTop=200\n"
              "Rev=2\nVisible=1\n");
  }
  {
    auto form = Make();
    form->show();
    EXPECT_EQ(form->pos(), QPoint(40, 30));
    EXPECT_EQ(form->size(), QSize(900, 560));
    EXPECT_EQ(form->RomPage->currentIndex(), 2);
    EXPECT_EQ(form->ZsnesPage->PageControl->currentIndex(), 3);
    QCoreApplication::processEvents();
    EXPECT_EQ(form->Panel4->width(), panel4);
    EXPECT_EQ(form->ImagePanel->height(), 201);
    EXPECT_EQ(form->toolBarArea(form->GridToolBar), Qt::LeftToolBarArea);
    EXPECT_TRUE(form->GridToolBar->isVisible());
    ASSERT_TRUE(form->MemoToolBar->isFloating());
    EXPECT_TRUE(form->MemoToolBar->isVisible());
    EXPECT_EQ(form->MemoToolBar->windowHandle()->framePosition(), QPoint(300, 200));

    // Next: the right dock, hidden; the documentation toolbar back on its tab.
    form->addToolBar(Qt::RightToolBarArea, form->GridToolBar);
    form->GridToolBar->hide();
    form->Dock9710->addToolBar(Qt::TopToolBarArea, form->MemoToolBar);
    QCoreApplication::processEvents();
    ASSERT_TRUE(form->close());
    EXPECT_TRUE(
        ToolBars().contains("[GridToolBar]\nDockPos=0\nDockRow=0\nDockedTo=Dock973\n"
                            "FloatLeft=0\nFloatTop=0\nRev=2\nVisible=0\n"));
    // Where it floated is kept for the next time it floats.
    EXPECT_TRUE(
        ToolBars().contains("[MemoToolBar]\nDockPos=0\nDockRow=0\nDockedTo=Dock9710\n"
                            "FloatLeft=300\nFloatTop=200\nRev=2\nVisible=1\n"));
  }
  auto form = Make();
  form->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->toolBarArea(form->GridToolBar), Qt::RightToolBarArea);
  EXPECT_TRUE(form->GridToolBar->isHidden());
  EXPECT_FALSE(form->MemoToolBar->isFloating());
  EXPECT_EQ(form->Dock9710->toolBarArea(form->MemoToolBar), Qt::TopToolBarArea);
  EXPECT_TRUE(form->MemoToolBar->isVisibleTo(form->Dock9710));
}

TEST_F(WinSaverTest, ToolbarsKeepTheirRowsInADock) {
  const auto make = [this] {
    auto form = Make();
    auto* extra = new QToolBar(form.get());
    extra->setObjectName("ExtraBar");
    extra->addAction("extra");
    form->addToolBar(Qt::TopToolBarArea, extra);
    return std::pair{std::move(form), extra};
  };
  {
    auto [form, extra] = make();
    form->show();
    form->addToolBar(Qt::BottomToolBarArea, form->GridToolBar);
    form->addToolBarBreak(Qt::BottomToolBarArea);
    form->addToolBar(Qt::BottomToolBarArea, extra);
    QCoreApplication::processEvents();
    ASSERT_TRUE(form->close());
  }
  EXPECT_TRUE(ToolBars().contains("[ExtraBar]\nDockPos=0\nDockRow=1\nDockedTo=Dock974\n"));
  EXPECT_TRUE(ToolBars().contains("[GridToolBar]\nDockPos=0\nDockRow=0\nDockedTo=Dock974\n"));
  auto [form, extra] = make();
  form->show();
  QCoreApplication::processEvents();
  EXPECT_EQ(form->toolBarArea(extra), Qt::BottomToolBarArea);
  EXPECT_EQ(form->toolBarArea(form->GridToolBar), Qt::BottomToolBarArea);
  // The first row lies along the window's edge.
  EXPECT_LT(extra->geometry().bottom(), form->GridToolBar->geometry().top());
}

TEST_F(WinSaverTest, SettingsThatCannotBeUsedAsTheyStand) {
  // Maximised: the bounds are not read. A bad tab index and a bad number are
  // passed over; a toolbar group of another revision is ignored; a floating
  // toolbar comes fully onto the screen.
  ASSERT_TRUE(rixtest::WriteAll(Config() + "tests_app.INI",
                                "[RixFrontEnd]\nMainForm_WindowState=3\nMainForm_Width=300\n"
                                "MainForm_Height=200\nRomPage_ActivePage=7\nPanel4_Width=abc\n"));
  ASSERT_TRUE(
      rixtest::WriteAll(Config() + "ToolBar97.ini",
                        "[GridToolBar]\nRev=1\nDockedTo=Dock972\n\n"
                        "[MemoToolBar]\nRev=2\nDockedTo=+\nFloatLeft=5000\nFloatTop=-50\n"));
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  {
    auto form = Make();
    form->show();
    EXPECT_TRUE(form->isMaximized());
    EXPECT_EQ(form->RomPage->currentIndex(), 0);
    EXPECT_EQ(form->Panel4->width(), 170);
    EXPECT_EQ(form->toolBarArea(form->GridToolBar), Qt::TopToolBarArea);
    ASSERT_TRUE(form->MemoToolBar->isFloating());
    EXPECT_TRUE(screen.contains(form->MemoToolBar->windowHandle()->frameGeometry()));
    form->showNormal();
    EXPECT_EQ(form->size(), QSize(681, 605));
  }
  // Bounds from a monitor that is gone come onto the primary screen.
  const QString other = dir.path() + "other/";
  ASSERT_TRUE(rixtest::WriteAll(other + "tests_app.INI",
                                "[RixFrontEnd]\nMainForm_Left=5000\nMainForm_Top=-3000\n"
                                "MainForm_Width=2000\nMainForm_Height=560\n"));
  {
    auto form = Make(other);
    form->show();
    EXPECT_TRUE(screen.contains(form->frameGeometry()));
    EXPECT_EQ(form->frameGeometry().width(), screen.width());
    EXPECT_EQ(form->height(), 560);
  }
  // A settings directory that cannot be written lets the window close quietly.
  ASSERT_TRUE(rixtest::WriteAll(dir.file("blocker"), "x"));
  auto form = Make(dir.file("blocker") + "/config/");
  form->show();
  EXPECT_TRUE(form->close());
  EXPECT_TRUE(dialogs.shown().isEmpty());
}

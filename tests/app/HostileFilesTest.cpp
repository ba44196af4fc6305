#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>

#include "EmulatorLine.h"
#include "TestSupport.h"
#include "WindowTestSupport.h"
#include "app/PanelLabel.h"
#include "app/TMainForm.h"
#include "widgets/AutoTreeView.h"
#include "widgets/DocEditor.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

// A file name that leads to something other than a file: a FIFO no one
// writes to, or a device that never ends.
enum class Special { Fifo, DevZero };

bool MakeSpecial(const QString& path, Special kind) {
  const QByteArray p = QFile::encodeName(path);
  return kind == Special::Fifo ? ::mkfifo(p.constData(), 0600) == 0
                               : ::symlink("/dev/zero", p.constData()) == 0;
}

QByteArray Catalogue() {
  return rixtest::CatalogueHeader() + rixtest::EmulatorLine({.key = "1",
                                                             .document = "doc.txt",
                                                             .program = "emu\\run",
                                                             .list = "a.lst",
                                                             .gameDir = "games\\"});
}

QStringList Errors(const ScriptedDialogs& d) {
  QStringList out;
  for (const auto& s : d.shown())
    if (s.kind == "error") out << s.text;
  return out;
}

class HostileFilesTest : public ::testing::TestWithParam<Special> {};

}  // namespace

TEST_P(HostileFilesTest, SpecialFilesAreRefusedAtOnceAndTheWindowGoesOn) {
  auto open = [](const rixtest::ScratchDir& dir, ScriptedDialogs& dialogs) {
    std::unique_ptr<TMainForm> form;
    QElapsedTimer clock;
    clock.start();
    const qint64 grew =
        rixtest::PeakMemoryGrowth([&] { form = rixtest::OpenWindow(dir, &dialogs); });
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_LT(grew, 64 << 20);
    return form;
  };
  {  // the catalogue: as for a missing one, with the bad-name error
    rixtest::ScratchDir dir;
    ASSERT_TRUE(MakeSpecial(dir.file("RixFront.ini"), GetParam()));
    ScriptedDialogs dialogs;
    auto form = open(dir, dialogs);
    EXPECT_EQ(Errors(dialogs), QStringList{"不正確檔案名稱"});
    EXPECT_EQ(form->EmuGrid->rowCount(), 2);
  }
  {  // the tree
    rixtest::ScratchDir dir;
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), Catalogue()));
    ASSERT_TRUE(MakeSpecial(dir.file("EmuTree.ini"), GetParam()));
    ScriptedDialogs dialogs;
    auto form = open(dir, dialogs);
    EXPECT_EQ(Errors(dialogs), QStringList{"不正確檔案名稱"});
    EXPECT_EQ(form->EmuTree->topLevelItemCount(), 0);
  }
  {  // the document and the game list of the selected emulator
    rixtest::ScratchDir dir;
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), Catalogue()));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "e,1\r\n"));
    ASSERT_TRUE(MakeSpecial(dir.file("doc.txt"), GetParam()));
    ASSERT_TRUE(MakeSpecial(dir.file("a.lst"), GetParam()));
    ScriptedDialogs dialogs;
    auto form = open(dir, dialogs);
    EXPECT_EQ(Errors(dialogs), (QStringList{"不正確檔案名稱", "不正確檔案名稱"}));
    EXPECT_TRUE(form->EmuDoc->toPlainText().isEmpty());
    EXPECT_TRUE(form->DocFile.isEmpty());
    EXPECT_EQ(form->RomGrid->rowCount(), 2);
    EXPECT_TRUE(form->RomListFile.isEmpty());
    EXPECT_TRUE(form->RomPanel->text().startsWith(QStringLiteral("找不到 '")));
  }
}

INSTANTIATE_TEST_SUITE_P(FifoAndDevice, HostileFilesTest,
                         ::testing::Values(Special::Fifo, Special::DevZero), [](const auto& info) {
                           return std::string(info.param == Special::Fifo ? "Fifo" : "DevZero");
                         });

TEST(SaveConflict, AFileAnotherProgramChangedIsOverwrittenOnlyOnYes) {
  rixtest::ScratchDir dir;
  ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), Catalogue()));
  ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "e,1\r\n"));
  ASSERT_TRUE(rixtest::WriteAll(dir.file("doc.txt"), "doc\r\n"));
  ASSERT_TRUE(rixtest::WriteAll(dir.file("a.lst"), rixtest::TableLine({"", "n", "", "f", "p"})));
  ScriptedDialogs dialogs;
  auto form = rixtest::OpenWindow(dir, &dialogs);
  ASSERT_TRUE(dialogs.shown().isEmpty());

  struct Case {
    QString file;
    std::function<void()> edit, save;
  };
  const QList<Case> cases = {
      {"a.lst", [&] { form->RomGrid->setCell(1, 1, "ours"); },
       [&] {
         form->ActiveGrid = form->RomGrid;
         form->Save1Click();
       }},
      {"RixFront.ini", [&] { form->EmuGrid->setCell(7, 1, "ours"); },
       [&] {
         form->ActiveGrid = form->EmuGrid;
         form->Save1Click();
       }},
      {"doc.txt", [&] { form->EmuDoc->setPlainText("ours"); }, [&] { form->MemoSave1Click(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file.toStdString());
    c.edit();
    const QByteArray theirs = "written by another program\r\n";
    ASSERT_TRUE(rixtest::WriteAll(dir.file(c.file), theirs));
    // No keeps the disk's version and the edits in the window.
    dialogs.clearShown();
    dialogs.answerButton(Dialogs::No);
    c.save();
    ASSERT_EQ(dialogs.shown().size(), 1);
    EXPECT_EQ(dialogs.shown()[0].kind, "confirm");
    EXPECT_EQ(dialogs.shown()[0].caption, "確認");
    EXPECT_EQ(dialogs.shown()[0].text,
              "檔案 " + dir.file(c.file) + " 已被其他程式修改，是否覆蓋？");
    EXPECT_EQ(dialogs.shown()[0].buttons, (QStringList{"是(&Y)", "否(&N)"}));
    EXPECT_EQ(rixtest::ReadAll(dir.file(c.file)), theirs);
    // Yes writes ours; the next save of our own file asks nothing.
    dialogs.answerButton(Dialogs::Yes);
    c.save();
    EXPECT_TRUE(rixtest::ReadAll(dir.file(c.file)).contains("ours"));
    dialogs.clearShown();
    c.save();
    EXPECT_TRUE(dialogs.shown().isEmpty());
  }
  EXPECT_TRUE(form->EmuDoc->toPlainText().contains("ours"));
}

TEST(CommandEdits, ALongCommandSurvivesTheSaveButtonWhole) {
  rixtest::ScratchDir dir;
  const QString after = QString(100000, u'x');
  ASSERT_TRUE(rixtest::WriteAll(
      dir.file("RixFront.ini"),
      rixtest::CatalogueHeader() + rixtest::EmulatorLine({.key = "1", .after = after})));
  ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "e,1\r\n"));
  ScriptedDialogs dialogs;
  auto form = rixtest::OpenWindow(dir, &dialogs);
  EXPECT_EQ(form->CommandEdit2->text().size(), 100000);
  form->CommandEdit1->setText(QString(100000, u'y'));
  dialogs.answerButton(Dialogs::Yes);
  form->SaveCommandBtnClick();
  const QByteArray saved = rixtest::ReadAll(dir.file("RixFront.ini"));
  EXPECT_TRUE(saved.contains(QByteArray(100000, 'y') + ',' + QByteArray(100000, 'x') + ','));
}

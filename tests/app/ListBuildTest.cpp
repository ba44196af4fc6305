#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QSet>
#include <cstdio>

#include "EmulatorLine.h"
#include "TestSupport.h"
#include "WindowTestSupport.h"
#include "app/PanelLabel.h"
#include "app/TMainForm.h"
#include "platform/DirectoryIndex.h"
#include "platform/ProcessStarter.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

class Recorder : public ProcessStarter {
public:
  ProcessId start(const ProcessStart& what) override {
    commands << what.command;
    return {};
  }
  QStringList commands;
};

class ListBuildTest : public ::testing::Test {
protected:
  void SetUp() override {
    QByteArray cat = rixtest::CatalogueHeader();
    cat += rixtest::EmulatorLine(
        {.key = "1", .program = "emu\\run", .list = "a.lst", .gameDir = "GAMES\\"});
    cat += rixtest::EmulatorLine(
        {.key = "2", .program = "emu\\run", .list = "a.lst", .gameDir = "nogames"});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), cat));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "e1,1\r\ne2,2\r\n"));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("emu/run"), "#!/bin/sh\n"));
    QByteArray list = rixtest::TableLine({"", "名稱", "", "檔案", "圖片"});
    list += rixtest::TableLine({"", "Kept", "", "kept.zip", ""});
    list += rixtest::TableLine({" ", "", "", " ", "", "col5"});  // blank: columns 0-4 trim empty
    list += rixtest::TableLine({"", "Last", "", "", ""});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("a.lst"), list));
    for (const char* f : {"games/b.zip", "games/A.ZIP", "games/c.zip", "games/readme",
                          "games/.hidden.zip", "games/Sub/x.zip", "games/old.zip/inner"})
      ASSERT_TRUE(rixtest::WriteAll(dir.file(f), "x"));
    form = rixtest::OpenWindow(dir, &dialogs, &starter);
    rom = form->RomGrid;
  }

  // Runs the toolbar button with the mask typed into its prompt.
  void Build(const QString& mask, int row) {
    rom->setRow(row);
    dialogs.clearShown();
    dialogs.answerText(mask);
    dialogs.answerButton(Dialogs::Ok);
    form->AutoGridMakeSB->trigger();
  }
  QByteArray Game(int row) const { return rom->cell(3, row).toByteArray(); }
  QString Said() const {
    return dialogs.shown().isEmpty() ? QString() : dialogs.shown().last().text;
  }

  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
  Recorder starter;
  std::unique_ptr<TMainForm> form;
  StringGrid* rom = nullptr;
};

}  // namespace

TEST_F(ListBuildTest, FilesGoInReverseOrderAtTheCurrentRowAndNothingElseChanges) {
  const QString panel = form->RomPanel->text();
  Build("*.zip", 2);  // the blank row takes the first name
  ASSERT_GE(dialogs.shown().size(), 2);
  const auto& prompt = dialogs.shown().first();
  EXPECT_EQ(prompt.caption, "輸入加入列表檔案");
  EXPECT_EQ(prompt.text, dir.path() + "games/");  // the directory as found on disk
  EXPECT_EQ(prompt.preset, "*.zip");
  // Sorted without regard to case (A, b, c), inserted in reverse; no
  // directory, no hidden file, no file of another type.
  EXPECT_EQ(Said(), "供加入 3 個檔案！");
  EXPECT_EQ(rom->rowCount(), 6);
  EXPECT_EQ(Game(1), "kept.zip");
  EXPECT_EQ(Game(2), "c.zip");
  EXPECT_EQ(Game(3), "b.zip");
  EXPECT_EQ(Game(4), "A.ZIP");
  EXPECT_EQ(rom->cell(5, 4), "col5");  // the blank row itself, its other cells kept
  EXPECT_EQ(rom->cell(1, 5), "Last");
  EXPECT_EQ(rom->row(), 2);
  // The new rows have their lamps and the count follows, as after a load.
  EXPECT_EQ(rom->cellImage(0, 2), 1);
  EXPECT_EQ(rom->cellImage(0, 4), 1);
  EXPECT_EQ(rom->cellImage(0, 1), 0);  // kept.zip is not there
  EXPECT_NE(form->RomPanel->text(), panel);
  EXPECT_EQ(form->RomPanel->text(), QStringLiteral("遊戲總數: 5"));
  EXPECT_EQ(form->CurrentDir, dir.path() + "games/");

  // A filled row moves down below the new ones; the same files come again.
  // The menu item builds too, on the game list while the table is active.
  form->ActiveGrid = form->EmuGrid;
  rom->setRow(1);
  dialogs.clearShown();
  dialogs.answerText("*.ZIP");
  dialogs.answerButton(Dialogs::Ok);
  form->AutoGridMake1->trigger();
  EXPECT_EQ(dialogs.shown().first().preset, "*.zip");  // the mask of the last run
  EXPECT_EQ(Said(), "供加入 3 個檔案！");
  EXPECT_EQ(rom->rowCount(), 9);
  EXPECT_EQ(Game(1), "c.zip");
  EXPECT_EQ(Game(3), "A.ZIP");
  EXPECT_EQ(Game(4), "kept.zip");
  EXPECT_EQ(form->EmuGrid->rowCount(), 3);
  EXPECT_EQ(form->ListMask, "*.ZIP");
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ListBuildTest, MasksAndTheirAnswers) {
  Build("sub\\*.ZIP", 1);  // a directory of the mask's own, relative to the game directory
  EXPECT_EQ(Said(), "供加入 1 個檔案！");
  EXPECT_EQ(Game(1), "x.zip");
  Build("r*.*", 1);  // "*.*" takes names without a dot
  EXPECT_EQ(Game(1), "readme");
  Build(".h*", 1);  // hidden files only when asked for
  EXPECT_EQ(Game(1), ".hidden.zip");
  const int rows = rom->rowCount();
  Build("old.zip", 1);  // found, but a directory: nothing added
  EXPECT_EQ(Said(), "供加入 0 個檔案！");
  Build("*.smc", 1);
  EXPECT_EQ(Said(), "目錄 '" + dir.path() + "games/' 內沒有指定的檔案！");
  Build("nothere\\*.zip", 1);
  EXPECT_EQ(Said(), "目錄 '" + dir.path() + "games/' 內沒有指定的檔案！");
  EXPECT_EQ(rom->rowCount(), rows);

  dialogs.clearShown();
  dialogs.answerCancel();
  form->AutoGridMakeSB->trigger();
  EXPECT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(form->ListMask, "nothere\\*.zip");
  Build("", 1);  // an empty mask is kept and does nothing
  EXPECT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(form->ListMask, "");
  EXPECT_EQ(rom->rowCount(), rows);
}

TEST_F(ListBuildTest, AMissingGameDirectoryIsAFileError) {
  form->EmuGrid->setRow(2);
  const QString before = form->CurrentDir;
  const QByteArray lines = rixtest::ReadAll(dir.file("a.lst"));
  Build("*.zip", 1);
  ASSERT_EQ(dialogs.shown().size(), 2);
  EXPECT_EQ(dialogs.shown()[1].kind, "error");
  EXPECT_EQ(Said(), "找不到檔案");
  EXPECT_EQ(rom->rowCount(), 4);
  EXPECT_EQ(form->CurrentDir, before);
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);
}

TEST_F(ListBuildTest, NamesOutsideBig5AreWrittenInBig5AndStillLaunch) {
  ASSERT_TRUE(rixtest::WriteAll(dir.file("games/u/中文.rom"), "x"));
  ASSERT_TRUE(rixtest::WriteAll(dir.file("games/u/café.rom"), "x"));
  form->EmuGrid->setCell(5, 1, "games\\u\\");
  Build("*.rom", 1);
  // é has no Big5 code: its "?" form could name another file, so it is left out and said.
  EXPECT_EQ(Game(1), rixtest::Big5("中文.rom"));
  EXPECT_EQ(Game(2), "kept.zip");
  EXPECT_EQ(Said(),
            "供加入 1 個檔案！略過 1 個名稱無法存入列表的檔案（含換行字元或沒有 Big5 字碼）。");
  rom->setRow(1);
  form->RomGridDblClickCell(rom, 1, 0);
  ASSERT_EQ(starter.commands.size(), 1);
  EXPECT_TRUE(starter.commands[0].endsWith("games/u/中文.rom"))
      << starter.commands[0].toStdString();
  form->MarkGameFiles();
  EXPECT_EQ(rom->cellImage(0, 1), 1);
}

TEST_F(ListBuildTest, OddNamesAreLeftOutOrListedSoThatEachFindsItsOwnFile) {
  const QByteArray games = QFile::encodeName(dir.file("games/odd/"));
  ASSERT_TRUE(QDir().mkpath(dir.file("games/odd")));
  const QByteArray utf8Twin = QByteArray("\xe4\xb8\xad.rom");  // 中.rom in UTF-8
  const QByteArray big5Twin = QByteArray("\xa4\xa4.rom");      // 中.rom in Big5
  const QByteArray notUtf8 = QByteArray("\xff\xfe.rom");
  for (const QByteArray& n : {QByteArray("line\rbreak.rom"), QByteArray("line\nfeed.rom"),
                              QByteArray("\xf0\x9f\x98\x80.rom"), QByteArray("\xc3\xa9.rom"),
                              utf8Twin, big5Twin, notUtf8, QByteArray("plain.rom")}) {
    std::FILE* c = std::fopen((games + n).constData(), "wb");
    ASSERT_NE(c, nullptr) << n.toHex().constData();
    std::fputs(n.toHex().constData(), c);  // each file says which it is
    std::fclose(c);
  }
  form->EmuGrid->setCell(5, 1, "games\\odd\\");
  Build("*.rom", 1);
  EXPECT_EQ(Said(),
            "供加入 4 個檔案！略過 4 個名稱無法存入列表的檔案（含換行字元或沒有 Big5 字碼）。");
  QSet<QByteArray> cells;
  for (int r = 1; r <= 4; ++r) cells.insert(Game(r));
  // The raw names as they are; the UTF-8 twin by its own bytes, not by the Big5 form that
  // is its twin's name.
  EXPECT_EQ(cells, (QSet<QByteArray>{"plain.rom", notUtf8, big5Twin, utf8Twin}));
  form->MarkGameFiles();
  for (int r = 1; r <= 4; ++r) {
    EXPECT_EQ(rom->cellImage(0, r), 1) << Game(r).toHex().constData();
    // The lookup the launch is to use finds each row's own file.
    const QByteArray found = FindCellFile(dir.file("games/odd/"), Game(r));
    EXPECT_EQ(found, games + Game(r));
  }
  // A typed Big5 name finds the raw Big5 file first; without it, the UTF-8 one.
  EXPECT_EQ(FindCellFile(dir.file("games/odd/"), rixtest::Big5("中.rom")), games + big5Twin);
  ASSERT_EQ(::unlink((games + big5Twin).constData()), 0);
  EXPECT_EQ(FindCellFile(dir.file("games/odd/"), rixtest::Big5("中.rom")), games + utf8Twin);

  // Saved and read again, every row stays one row.
  const int rows = rom->rowCount();
  form->ActiveGrid = rom;
  form->Save1Click();
  form->Reload1Click();
  EXPECT_EQ(rom->rowCount(), rows);
}

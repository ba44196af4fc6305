#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "TestSupport.h"
#include "ZipTestArchive.h"
#include "app/TMainForm.h"
#include "platform/ProcessStarter.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

// A stored-entry archive of (name, data) pairs.
QByteArray StoredZip(const QList<QPair<QByteArray, QByteArray>>& entries) {
  QList<rixtest::ZipTestEntry> list;
  for (const auto& [name, data] : entries) list << rixtest::Entry(name, data);
  return rixtest::BuildZip(list).bytes;
}

struct Started {
  QString command;
  QString workingDir;
};

class RecordingStarter : public ProcessStarter {
public:
  bool start(const QString& commandLine, const QString& workingDir, const QString&) override {
    started.append({commandLine, workingDir});
    return true;
  }
  QList<Started> started;
};

class LaunchTest : public ::testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(rixtest::WriteAll(dir.file("emu/run"), "#!/bin/sh\n"));
    QFile::setPermissions(dir.file("emu/run"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    QByteArray list = rixtest::TableLine({"", "名稱", "", "檔案", "圖片"});
    for (const QString& game : games) list += rixtest::TableLine({"", "g", "", game, ""});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("lists/l.lst"), list));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("games/plain.rom"), "rom"));
    ASSERT_TRUE(
        rixtest::WriteAll(dir.file("games/pack.zip"),
                          StoredZip({{"first.rom", "1"}, {"GAME.ROM", "2"}, {"other.bin", "3"}})));
    ASSERT_TRUE(
        rixtest::WriteAll(dir.file("games/my.game.zip"),
                          StoredZip({{"my/", ""}, {"my/a.rom", "a"}, {"my/sub/b.rom", "b"}})));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("games/UPPER.ZIP"), StoredZip({{"up.rom", "u"}})));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("games/x.zip.bak"), "not an archive"));
  }
  void Make(const QString& emuDir, const QString& gameDir, const QString& dirMode,
            const QString& exe = "emu\\run", const QString& romDir = "games\\") {
    QByteArray cat = rixtest::TableLine(
        {"頁", "鍵", "說", "模", "列", "遊", "圖", "前", "後", "9", "10", "11", "網"});
    cat += rixtest::TableLine(
        {"", "1", "", exe, "lists\\l.lst", romDir, "", "-a", "-z", emuDir, gameDir, dirMode, ""});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), cat));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "e,1\r\n"));
    MainFormSetup s;
    s.appDir = dir.path();
    s.tempDir = dir.path() + "tmp/";
    s.dialogs = &dialogs;
    s.starter = &starter;
    form = std::make_unique<TMainForm>(s);
  }
  // Launches the game of a list row, as a double click does, then lets the lock run out.
  void Launch(int row) {
    form->RomGrid->setRow(row);
    form->RomGridDblClickCell(form->RomGrid, row, 0);
    for (int i = 0; i < 6; ++i) form->Timer1Timer();
  }
  QString Last() const {
    return starter.started.isEmpty() ? QString() : starter.started.last().command;
  }

  QStringList games = {"plain.rom",
                       "pack.zip",
                       "pack.zip;game.rom",
                       "my.game.zip",
                       "my.game.zip;a.rom",
                       "UPPER.ZIP",
                       "x.zip.bak",
                       "missing.rom",
                       ".\\plain.rom",
                       "no\\..\\plain.rom",
                       ".\\pack.zip;.\\game.rom",
                       ".\\my.game.zip"};
  rixtest::ScratchDir dir;
  ScriptedDialogs dialogs;
  RecordingStarter starter;
  std::unique_ptr<TMainForm> form;
};

}  // namespace

TEST_F(LaunchTest, TheFourCommandShapes) {
  const QString exe = dir.path() + "emu/run";
  const QString games = dir.path() + "games/";
  const QString cwd = QDir::currentPath() + "/";
  struct Case {
    QString emuDir, gameDir, command, workingDir;
  } cases[] = {
      {"No", "No", exe + " -a " + games + "plain.rom -z", cwd},
      {"Yes", "No", "run -a " + games + "plain.rom -z", dir.path() + "emu/"},
      {"no", " YES ", exe + " -a plain.rom -z", games},
      {"Yes", "Yes", "run -a plain.rom -z", games},
  };
  for (const Case& c : cases) {
    starter.started.clear();
    Make(c.emuDir, c.gameDir, "No");
    Launch(1);
    ASSERT_EQ(starter.started.size(), 1) << c.command.toStdString();
    EXPECT_EQ(Last(), c.command);
    EXPECT_EQ(starter.started.last().workingDir, c.workingDir);
  }
  // Unsaved command edits count; empty ones leave two blanks or none at the end.
  form->CommandEdit1->setText("");
  form->CommandEdit2->setText("");
  Launch(1);
  EXPECT_EQ(Last(), "run  plain.rom");
}

TEST_F(LaunchTest, ZipGamesAreUnpackedIntoTheTemporaryDirectory) {
  const QString tmp = dir.path() + "tmp/";
  Make("No", "No", "No");
  Launch(2);  // no member: the first entry, unpacked with everything else
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + tmp + "first.rom -z");
  EXPECT_TRUE(QFile::exists(tmp + "first.rom"));
  EXPECT_EQ(form->UnzipPath, tmp + "first.rom");
  Launch(3);  // a member, matched without regard to case; the last launch is cleaned up
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + tmp + "GAME.ROM -z");  // as the file is named
  EXPECT_FALSE(QFile::exists(tmp + "first.rom"));
  EXPECT_TRUE(QFile::exists(tmp + "GAME.ROM"));
  Launch(6);  // GAME.ZIP counts as an archive
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + tmp + "up.rom -z");
  EXPECT_FALSE(QFile::exists(tmp + "GAME.ROM"));
  Launch(7);  // game.zip.bak does not
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + dir.path() + "games/x.zip.bak -z");
  EXPECT_TRUE(form->UnzipPath.isEmpty());
  EXPECT_FALSE(QFile::exists(tmp + "up.rom"));
}

TEST_F(LaunchTest, DotAndDotDotPartsKeepTheWholeGameName) {
  const QString tmp = dir.path() + "tmp/";
  const QString name = QDir(dir.path()).dirName();
  struct Case {
    QString romDir;  // column 5
    int row;
    QString inGameDir, dirMode;
    QString game, workingDir;  // the game argument and, in the game directory, the start directory
  } cases[] = {
      {"games\\.\\", 1, "No", "No", dir.path() + "games/./plain.rom", ""},
      {"games\\.\\", 1, "Yes", "No", "plain.rom", dir.path() + "games/./"},
      {"..\\" + name + "\\games\\", 1, "No", "No", dir.path() + "../" + name + "/games/plain.rom",
       ""},
      {"..\\" + name + "\\games\\", 1, "Yes", "No", "plain.rom",
       dir.path() + "../" + name + "/games/"},
      // Column 3 with "." and ".." parts, "no" being a directory that does not exist.
      {"games\\", 9, "No", "No", dir.path() + "games/plain.rom", ""},
      {"games\\", 10, "Yes", "No", "plain.rom", dir.path() + "games/"},
      // ZIP games and members.
      {"games\\.\\", 3, "No", "No", tmp + "GAME.ROM", ""},
      {"games\\", 11, "Yes", "No", "GAME.ROM", tmp},
      {"games\\.\\", 12, "No", "Yes", tmp + "my", ""},
      {"..\\" + name + "\\games\\", 4, "Yes", "Yes", "my", tmp},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.romDir + " row " + QString::number(c.row) + " " + c.inGameDir).toStdString());
    starter.started.clear();
    Make("No", c.inGameDir, c.dirMode, "emu\\run", c.romDir);
    // The lamp agrees with the launch.
    EXPECT_EQ(form->RomGrid->cellImage(0, c.row), 1);
    Launch(c.row);
    ASSERT_EQ(starter.started.size(), 1);
    EXPECT_EQ(Last(), dir.path() + "emu/run -a " + c.game + " -z");
    if (!c.workingDir.isEmpty()) {
      EXPECT_EQ(starter.started.last().workingDir, c.workingDir);
    }
  }
  EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(LaunchTest, DirectoryModePassesTheFolderAndRemovesItAfterwards) {
  const QString tmp = dir.path() + "tmp/";
  Make("No", "No", "Yes");
  Launch(4);
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + tmp + "my -z");
  EXPECT_TRUE(QFile::exists(tmp + "my/a.rom"));
  EXPECT_TRUE(QFile::exists(tmp + "my/sub/b.rom"));
  Launch(5);  // a member: only that file is unpacked, the folder still passed
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + tmp + "my -z");
  EXPECT_FALSE(QFile::exists(tmp + "my/sub/b.rom"));
  form.reset();  // the window's destruction cleans up too
  EXPECT_FALSE(QFileInfo::exists(tmp + "my"));
  // An archive without a folder of its own name leaves nothing to remove,
  // and later launches are not hindered.
  Make("No", "No", "Yes");
  Launch(6);
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + tmp + "UPPER -z");
  Launch(1);
  EXPECT_EQ(starter.started.size(), 4);
  EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(LaunchTest, HostileArchivesPassNoWayOutAndLeaveNothingBehind) {
  const QString tmp = dir.path() + "tmp/";
  using rixtest::Entry;
  ASSERT_TRUE(rixtest::WriteAll(
      dir.file("games/escape.zip"),
      rixtest::BuildZip({Entry("../../../etc/passwd", "x"), Entry("ok.rom", "1")}).bytes));
  // Two central entries sharing one record.
  rixtest::ZipTestArchive bomb = rixtest::BuildZip({Entry("a.rom", "1"), Entry("b.rom", "2")});
  bomb.Put32(bomb.central[1] + 42, 0);
  ASSERT_TRUE(rixtest::WriteAll(dir.file("games/bomb.zip"), bomb.bytes));
  QByteArray deep = "deep/";
  for (int i = 0; i < 200; ++i) deep += "level/";
  ASSERT_TRUE(rixtest::WriteAll(dir.file("games/deep.zip"),
                                rixtest::BuildZip({Entry(deep + "x.rom", "x")}).bytes));
  QByteArray list = rixtest::TableLine({"", "名稱", "", "檔案", "圖片"});
  for (const char* game :
       {"plain.rom", "escape.zip", "pack.zip;..\\..\\x", "bomb.zip", "pack.zip", "deep.zip"})
    list += rixtest::TableLine({"", "g", "", game, ""});
  ASSERT_TRUE(rixtest::WriteAll(dir.file("lists/l.lst"), list));
  const QString none = dir.path() + "emu/run -a " + tmp + " -z";

  // A first entry or a member that the reader refuses, and a refused archive: the game name
  // is empty, as after an unpacking error, and the emulator starts all the same.
  Make("No", "No", "No");
  for (int row : {2, 3, 4}) {
    Launch(row);
    EXPECT_EQ(Last(), none) << row;
    EXPECT_FALSE(Last().contains("..")) << row;
  }
  EXPECT_EQ(rixtest::FileTree(tmp), QStringList());
  // Everything an archive unpacked goes at the next launch, not only the file passed on.
  Launch(5);
  EXPECT_EQ(rixtest::FileTree(tmp), QStringList({"GAME.ROM", "first.rom", "other.bin"}));
  Launch(1);
  EXPECT_EQ(rixtest::FileTree(tmp), QStringList());

  // An unpacked folder that has grown deeper than a path may be long is removed all the same.
  Make("No", "No", "Yes");
  Launch(6);
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + tmp + "deep -z");
  int fd = ::open(QFile::encodeName(tmp + deep).constData(), O_RDONLY | O_DIRECTORY);
  for (int i = 0; i < 1000 && fd >= 0; ++i) {
    ::mkdirat(fd, "more", 0700);
    const int next = ::openat(fd, "more", O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = next;
  }
  ASSERT_GE(fd, 0);
  ::close(fd);
  Launch(1);
  EXPECT_EQ(rixtest::FileTree(tmp), QStringList());
  EXPECT_TRUE(dialogs.shown().isEmpty());
  EXPECT_EQ(starter.started.size(), 7);
}

TEST_F(LaunchTest, TheLockIgnoresLaunchesForSixTicks) {
  Make("No", "No", "No");
  form->RomGrid->setRow(1);
  form->RomGridDblClickCell(form->RomGrid, 1, 0);
  form->Timer1Timer();
  form->Timer1Timer();
  form->RomGridDblClickCell(form->RomGrid, 1, 0);
  EXPECT_EQ(starter.started.size(), 1);
  for (int i = 0; i < 4; ++i) form->Timer1Timer();
  EXPECT_FALSE(form->Timer1->isActive());
  form->RomGridDblClickCell(form->RomGrid, 1, 0);
  EXPECT_EQ(starter.started.size(), 2);
  // Enter on the list and a double click anywhere on the grid launch too.
  for (int i = 0; i < 6; ++i) form->Timer1Timer();
  form->show();
  QTest::keyClick(form->RomGrid, Qt::Key_Return);
  EXPECT_EQ(starter.started.size(), 3);
  for (int i = 0; i < 6; ++i) form->Timer1Timer();
  QTest::mouseDClick(form->RomGrid->viewport(), Qt::LeftButton, {}, QPoint(5, 300));
  EXPECT_EQ(starter.started.size(), 4);
}

TEST_F(LaunchTest, FailuresAreReported) {
  Make("No", "No", "No", "emu\\none");
  Launch(1);
  ASSERT_EQ(dialogs.shown().size(), 1);
  EXPECT_EQ(dialogs.shown()[0].text, QStringLiteral("無法執行遊戲！"));
  EXPECT_EQ(dialogs.shown()[0].buttons, QStringList{QStringLiteral("確定")});
  EXPECT_TRUE(starter.started.isEmpty());
  // A temporary directory that cannot be made stops a ZIP launch only.
  ASSERT_TRUE(rixtest::WriteAll(dir.file("tmp"), "in the way"));
  Make("No", "No", "No");
  Launch(2);
  ASSERT_EQ(dialogs.shown().size(), 2);
  EXPECT_EQ(dialogs.shown()[1].text, QStringLiteral("目錄建立錯誤！"));
  EXPECT_EQ(dialogs.shown()[1].buttons, QStringList{QStringLiteral("是(&Y)")});
  EXPECT_TRUE(starter.started.isEmpty());
  Launch(1);
  EXPECT_EQ(starter.started.size(), 1);
  // No list loaded: nothing starts, nothing is said.
  form->RomListFile.clear();
  Launch(1);
  EXPECT_EQ(starter.started.size(), 1);
  EXPECT_EQ(dialogs.shown().size(), 2);
}

TEST(CommandLine, SplitsAsTheCRuntimeDoes) {
  EXPECT_EQ(SplitCommandLine("  run  -a   b\tc "), (QStringList{"run", "-a", "b", "c"}));
  EXPECT_EQ(SplitCommandLine("\"C:\\Program Files\\x.exe\" \"a b\" c"),
            (QStringList{"C:\\Program Files\\x.exe", "a b", "c"}));
  EXPECT_EQ(SplitCommandLine("p a\\\\\\\"b c\\\\\"d e\" f\\x"),
            (QStringList{"p", "a\\\"b", "c\\d e", "f\\x"}));
  EXPECT_EQ(SplitCommandLine("p \"a\"\"b\" \"\""), (QStringList{"p", "a\"b", ""}));
  EXPECT_EQ(SplitCommandLine("p ;rm $(id) `x`"), (QStringList{"p", ";rm", "$(id)", "`x`"}));
  EXPECT_TRUE(SplitCommandLine("   ").isEmpty());
  EXPECT_TRUE(WildcardMatch("*.*", "noext"));
  EXPECT_TRUE(WildcardMatch("GAME.ROM", "game.rom"));
  EXPECT_TRUE(WildcardMatch("g?me*", "GAME.zip"));
  EXPECT_FALSE(WildcardMatch("*.rom", "a.bin"));
}

TEST(CommandLine, ARealProgramGetsItsArgumentsAsTextAndItsDirectory) {
  rixtest::ScratchDir d;
  const QString out = d.file("out.txt");
  ASSERT_TRUE(rixtest::WriteAll(
      d.file("app/emu.sh"),
      "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > \"" + out.toUtf8() + "\"\n"));
  QFile::setPermissions(d.file("app/emu.sh"),
                        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  QDir().mkpath(d.file("games"));
  DetachedProcessStarter starter;
  // Found by bare name in the application directory; started in the games directory.
  ASSERT_TRUE(starter.start("emu.sh -x ;touch\\ pwned $(id) `id` \"a b\"", d.path() + "games/",
                            d.path() + "app/"));
  for (int i = 0; i < 100 && !QFile::exists(out); ++i) QTest::qWait(50);
  QTest::qWait(100);
  EXPECT_EQ(QString::fromUtf8(rixtest::ReadAll(out)),
            QDir(d.path() + "games").canonicalPath() +
                "\n[-x]\n[;touch\\]\n[pwned]\n[$(id)]\n[`id`]\n[a b]\n");
  EXPECT_FALSE(QFile::exists(d.file("games/pwned")));
  EXPECT_FALSE(starter.start("no-such-program-here", d.path(), d.path()));
}

#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

#include "EmulatorLine.h"
#include "TestSupport.h"
#include "ZipTestArchive.h"
#include "app/TMainForm.h"
#include "platform/ProcessStarter.h"
#include "platform/UnpackArea.h"
#include "widgets/ScriptedDialogs.h"

using namespace rix;

namespace {

// A stored-entry archive of (name, data) pairs.
QByteArray StoredZip(const QList<QPair<QByteArray, QByteArray>>& entries) {
  QList<rixtest::ZipTestEntry> list;
  for (const auto& [name, data] : entries) list << rixtest::Entry(name, data);
  return rixtest::BuildZip(list).bytes;
}

class RecordingStarter : public ProcessStarter {
public:
  ProcessId start(const ProcessStart& what) override {
    started.append(what);
    return {};
  }
  QList<ProcessStart> started;
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
    cat += rixtest::EmulatorLine({.key = "1",
                                  .program = exe,
                                  .list = "lists\\l.lst",
                                  .gameDir = romDir,
                                  .before = "-a",
                                  .after = "-z",
                                  .inEmuDir = emuDir,
                                  .inGameDir = gameDir,
                                  .directoryMode = dirMode});
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
  const QString cwd = dir.path();  // the catalogue's directory, whatever ran before
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
    EXPECT_EQ(starter.started.last().program, exe);
  }
  // Unsaved command edits count; empty ones leave two blanks or none at the end.
  form->CommandEdit1->setText("");
  form->CommandEdit2->setText("");
  Launch(1);
  EXPECT_EQ(Last(), "run  plain.rom");
}

TEST_F(LaunchTest, ZipGamesAreUnpackedIntoTheTemporaryDirectory) {
  const QString tmp = dir.path() + "tmp/";
  const QString cwd = QDir::currentPath();
  Make("No", "No", "No");
  Launch(2);                           // no member: the first entry, unpacked with everything else
  const QString first = form->RomDir;  // this launch's own folder in the window's
  EXPECT_TRUE(first.startsWith(tmp));
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + first + "first.rom -z");
  EXPECT_TRUE(QFile::exists(first + "first.rom"));
  EXPECT_EQ(form->UnzipPath, first + "first.rom");
  Launch(3);  // a member, matched without regard to case; the last launch is cleaned up
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + form->RomDir + "GAME.ROM -z");  // as named
  EXPECT_FALSE(QFileInfo::exists(first));
  EXPECT_TRUE(QFile::exists(form->RomDir + "GAME.ROM"));
  const QString second = form->RomDir;
  Launch(6);  // GAME.ZIP counts as an archive
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + form->RomDir + "up.rom -z");
  EXPECT_FALSE(QFileInfo::exists(second));
  const QString third = form->RomDir;
  Launch(7);  // game.zip.bak does not
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + dir.path() + "games/x.zip.bak -z");
  EXPECT_TRUE(form->UnzipPath.isEmpty());
  // Earlier launches moved no directory: the emulator starts in the catalogue's, and the
  // front end stays where it started.
  EXPECT_EQ(starter.started.last().workingDir, dir.path());
  EXPECT_EQ(QDir::currentPath(), cwd);
  EXPECT_FALSE(QFileInfo::exists(third));
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
      // ZIP games and members; "@" stands for the launch's unpack folder.
      {"games\\.\\", 3, "No", "No", "@GAME.ROM", ""},
      {"games\\", 11, "Yes", "No", "GAME.ROM", "@"},
      {"games\\.\\", 12, "No", "Yes", "@my", ""},
      {"..\\" + name + "\\games\\", 4, "Yes", "Yes", "my", "@"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE((c.romDir + " row " + QString::number(c.row) + " " + c.inGameDir).toStdString());
    starter.started.clear();
    Make("No", c.inGameDir, c.dirMode, "emu\\run", c.romDir);
    // The lamp agrees with the launch.
    EXPECT_EQ(form->RomGrid->cellImage(0, c.row), 1);
    Launch(c.row);
    ASSERT_EQ(starter.started.size(), 1);
    const QString folder = form->RomDir;
    EXPECT_EQ(Last(), dir.path() + "emu/run -a " + QString(c.game).replace("@", folder) + " -z");
    if (!c.workingDir.isEmpty()) {
      EXPECT_EQ(starter.started.last().workingDir, QString(c.workingDir).replace("@", folder));
    }
  }
  EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(LaunchTest, DirectoryModePassesTheFolderAndRemovesItAfterwards) {
  const QString tmp = dir.path() + "tmp/";
  Make("No", "No", "Yes");
  Launch(4);
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + form->RomDir + "my -z");
  EXPECT_TRUE(QFile::exists(form->RomDir + "my/a.rom"));
  EXPECT_TRUE(QFile::exists(form->RomDir + "my/sub/b.rom"));
  Launch(5);  // a member: only that file is unpacked, the folder still passed
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + form->RomDir + "my -z");
  EXPECT_FALSE(QFile::exists(form->RomDir + "my/sub/b.rom"));
  form.reset();  // the window's destruction cleans up too, its own folder included
  EXPECT_EQ(rixtest::FileTree(tmp), QStringList());
  // An archive without a folder of its own name is unpacked into one, so that the folder
  // handed on holds the game.
  Make("No", "No", "Yes");
  Launch(6);
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + form->RomDir + "UPPER -z");
  EXPECT_TRUE(QFile::exists(form->RomDir + "UPPER/up.rom"));
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

  // A first entry or a member that the reader refuses, and a refused archive: the game name
  // is empty, as after an unpacking error, and the emulator starts all the same.
  Make("No", "No", "No");
  for (int row : {2, 3, 4}) {
    Launch(row);
    EXPECT_EQ(Last(), dir.path() + "emu/run -a " + form->RomDir + " -z") << row;
    EXPECT_FALSE(Last().contains("..")) << row;
    EXPECT_EQ(rixtest::FileTree(form->RomDir), QStringList()) << row;
  }
  EXPECT_FALSE(rixtest::FileTree(dir.path()).contains("etc/passwd"));
  // Everything an archive unpacked goes at the next launch, not only the file passed on.
  Launch(5);
  const QString window = QFileInfo(form->RomDir + "..").canonicalFilePath() + "/";
  EXPECT_EQ(rixtest::FileTree(form->RomDir), QStringList({"GAME.ROM", "first.rom", "other.bin"}));
  Launch(1);
  EXPECT_EQ(rixtest::FileTree(window), QStringList({"launches"}));

  // An unpacked folder that has grown deeper than a path may be long is removed all the same.
  Make("No", "No", "Yes");
  Launch(6);
  EXPECT_EQ(Last(), dir.path() + "emu/run -a " + form->RomDir + "deep -z");
  int fd = ::open(QFile::encodeName(form->RomDir + deep).constData(), O_RDONLY | O_DIRECTORY);
  for (int i = 0; i < 1000 && fd >= 0; ++i) {
    ::mkdirat(fd, "more", 0700);
    const int next = ::openat(fd, "more", O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = next;
  }
  ASSERT_GE(fd, 0);
  ::close(fd);
  Launch(1);
  form.reset();
  EXPECT_EQ(rixtest::FileTree(tmp), QStringList());
  EXPECT_TRUE(dialogs.shown().isEmpty());
  EXPECT_EQ(starter.started.size(), 7);
}

TEST_F(LaunchTest, TheFileTheLampSawIsTheOneStarted) {
  // Bytes that are Big5 and UTF-8 both: the file is named by the cell's own bytes, not by its
  // Big5 text.
  const QByteArray both = "\xC2\xA4.rom";
  ASSERT_TRUE(rixtest::WriteAll(dir.path() + "games/" + QFile::decodeName(both), "x"));
  QByteArray list = rixtest::TableLine({"", "名稱", "", "檔案", "圖片"});
  list += "\"\",g,\"\"," + both + ",\"\"\r\n";
  ASSERT_TRUE(rixtest::WriteAll(dir.file("lists/l.lst"), list));
  Make("No", "No", "No");
  EXPECT_EQ(form->RomGrid->cellImage(0, 1), 1);
  Launch(1);
  ASSERT_EQ(starter.started.size(), 1);
  EXPECT_EQ(QFile::encodeName(starter.started.last().arguments.value(1)),
            QFile::encodeName(dir.path() + "games/") + both);
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
  // The path looked for goes on a second line.
  EXPECT_EQ(dialogs.shown()[0].text, "無法執行遊戲！\n'" + dir.path() + "emu/none'");
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

TEST(CommandLine, TypedPartsSplitWordByWord) {
  // After the program, a first word takes backslashes and quotes by the argument rules.
  EXPECT_EQ(SplitCommandArguments("a\\\"b \"c d\"  e"), (QStringList{"a\"b", "c d", "e"}));
  EXPECT_TRUE(SplitCommandArguments(" \t").isEmpty());
}

// A real emulator stand-in: it writes its working directory and arguments, then runs until a
// stop file appears or the test's directory is gone.
class RealLaunchTest : public ::testing::Test {
protected:
  void SetUp() override {
    emu = dir.file("My Emulators/rec.sh");
    ASSERT_TRUE(rixtest::WriteAll(
        emu, "#!/bin/sh\n{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > '" +
                 dir.file("out.tmp").toUtf8() + "'\nmv '" + dir.file("out.tmp").toUtf8() + "' '" +
                 dir.file("out.txt").toUtf8() + "'\nwhile [ ! -e '" + dir.file("stop").toUtf8() +
                 "' ] && [ -d '" + dir.path().toUtf8() + "' ]; do sleep 0.05; done\n"));
    QFile::setPermissions(emu, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(rixtest::WriteAll(dir.file("My Games/sp ace.rom"), "rom"));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("My Games/A D V.zip"),
                                  StoredZip({{"GAME.EXE", "x"}, {"DATA/1.dat", "d"}})));
    QByteArray list = rixtest::TableLine({"", "名稱", "", "檔案", "圖片"});
    for (const char* game : {"sp ace.rom", "A D V.zip"})
      list += rixtest::TableLine({"", "g", "", game, ""});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("l.lst"), list));
    QByteArray cat = rixtest::TableLine(
        {"頁", "鍵", "說", "模", "列", "遊", "圖", "前", "後", "9", "10", "11", "網"});
    cat += rixtest::EmulatorLine({.key = "1",
                                  .program = "My Emulators\\rec.sh",
                                  .list = "l.lst",
                                  .gameDir = "My Games\\",
                                  .before = "-a \"x y\"",
                                  .after = "-z",
                                  .directoryMode = "Yes"});
    ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), cat));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("EmuTree.ini"), "e,1\r\n"));
  }
  std::unique_ptr<TMainForm> Window() {
    MainFormSetup s;
    s.appDir = dir.path();
    s.tempDir = dir.path() + "tmp/";
    s.dialogs = &dialogs;
    s.starter = &starter;
    return std::make_unique<TMainForm>(s);
  }
  void Launch(TMainForm& form, int row) {
    QFile::remove(dir.file("out.txt"));
    form.RomGrid->setRow(row);
    form.RomGridDblClickCell(form.RomGrid, row, 0);
    for (int i = 0; i < 6; ++i) form.Timer1Timer();
  }
  // What the stand-in wrote: its working directory, then each argument in brackets.
  QString Recorded() {
    for (int i = 0; i < 200 && !QFile::exists(dir.file("out.txt")); ++i) QTest::qWait(25);
    return QString::fromUtf8(rixtest::ReadAll(dir.file("out.txt")));
  }
  static bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 200; ++i) {
      if (done()) return true;
      QTest::qWait(25);
    }
    return done();
  }

  rixtest::ScratchDir dir;
  QString emu;
  ScriptedDialogs dialogs;
  DetachedProcessStarter starter;
};

TEST_F(RealLaunchTest, BlanksStayInOneArgumentAndTheGameStaysWhileItsEmulatorRuns) {
  const QString home = QDir(dir.path()).canonicalPath();
  auto form = Window();
  Launch(*form, 2);  // a flat archive in directory mode, blanks everywhere
  const QString folder = form->RomDir;
  EXPECT_EQ(Recorded(), home + "\n[-a]\n[x y]\n[" + folder + "A D V]\n[-z]\n");
  EXPECT_TRUE(QFile::exists(folder + "A D V/GAME.EXE"));
  // The next launch leaves the running emulator's game alone.
  Launch(*form, 1);
  EXPECT_EQ(Recorded(), home + "\n[-a]\n[x y]\n[" + dir.path() + "My Games/sp ace.rom]\n[-z]\n");
  form->CleanupUnzip();
  EXPECT_TRUE(QFile::exists(folder + "A D V/DATA/1.dat"));
  // Once it has ended, the game goes at the next clean-up.
  rixtest::WriteAll(dir.file("stop"), "");
  EXPECT_TRUE(WaitFor([&] {
    form->CleanupUnzip();
    return !QFileInfo::exists(folder);
  }));

  // Closed while a game runs: the window's folder stays with a record of the emulator, and
  // the sweep of a later run removes it once the emulator has ended.
  QFile::remove(dir.file("stop"));
  Launch(*form, 2);
  const QString running = form->RomDir;
  ASSERT_FALSE(Recorded().isEmpty());
  const QString window = QFileInfo(running + "..").canonicalFilePath() + "/";
  form.reset();
  EXPECT_TRUE(QFile::exists(running + "A D V/GAME.EXE"));
  EXPECT_TRUE(QFile::exists(window + "launches"));
  // This test's process stands for the ended run; its emulators are asked about as they are.
  const qint64 self = QCoreApplication::applicationPid();
  auto ended = [self](const ProcessId& p) { return p.pid != self && IsRunning(p); };
  UnpackArea::Sweep(dir.path() + "tmp/", ended);
  EXPECT_TRUE(QFile::exists(running + "A D V/GAME.EXE"));
  rixtest::WriteAll(dir.file("stop"), "");
  EXPECT_TRUE(WaitFor([&] {
    UnpackArea::Sweep(dir.path() + "tmp/", ended);
    return !QFileInfo::exists(window);
  }));
  EXPECT_TRUE(dialogs.shown().isEmpty());
}

TEST_F(RealLaunchTest, TwoWindowsUnpackIntoFoldersOfTheirOwn) {
  rixtest::WriteAll(dir.file("stop"), "");  // the stand-ins end at once
  auto a = Window();
  auto b = Window();
  Launch(*a, 2);
  Launch(*b, 2);
  ASSERT_NE(a->RomDir, b->RomDir);
  EXPECT_NE(QFileInfo(a->RomDir + "..").canonicalFilePath(),
            QFileInfo(b->RomDir + "..").canonicalFilePath());
  // A sweep at another start never touches a running window's folder.
  UnpackArea::Sweep(dir.path() + "tmp/");
  EXPECT_TRUE(QFile::exists(b->RomDir + "A D V/GAME.EXE"));
  const QString kept = b->RomDir;
  a.reset();
  EXPECT_TRUE(QFile::exists(kept + "A D V/GAME.EXE"));
  EXPECT_TRUE(QFileInfo::exists(kept));
}

TEST_F(RealLaunchTest, ABareProgramNameIsFoundOnPath) {
  rixtest::WriteAll(dir.file("stop"), "");
  QDir().mkpath(dir.file("bin"));
  ASSERT_TRUE(QFile::copy(emu, dir.file("bin/recorder")));
  rixtest::WriteAll(dir.file("bin/plain"), "not a program");  // not executable: passed over
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", QFile::encodeName(dir.file("bin")) + ":" + path);
  QByteArray cat = rixtest::TableLine(
      {"頁", "鍵", "說", "模", "列", "遊", "圖", "前", "後", "9", "10", "11", "網"});
  for (const char* program : {"recorder", "plain", "My Emulators\\recorder"})
    cat += rixtest::EmulatorLine({.key = "1",
                                  .program = program,
                                  .list = "l.lst",
                                  .gameDir = "My Games\\",
                                  .inEmuDir = "Yes",
                                  .inGameDir = "Yes"});
  ASSERT_TRUE(rixtest::WriteAll(dir.file("RixFront.ini"), cat));
  auto form = Window();
  Launch(*form, 1);
  EXPECT_EQ(Recorded(), QDir(dir.file("My Games")).canonicalPath() + "\n[sp ace.rom]\n");
  form->EmuGrid->setRow(2);
  Launch(*form, 1);
  form->EmuGrid->setRow(3);
  Launch(*form, 1);
  qputenv("PATH", path);
  ASSERT_EQ(dialogs.shown().size(), 2);
  EXPECT_EQ(dialogs.shown()[0].text, "無法執行遊戲！\n'" + dir.path() + "plain, PATH'");
  EXPECT_EQ(dialogs.shown()[1].text, "無法執行遊戲！\n'" + dir.path() + "My Emulators/recorder'");
}

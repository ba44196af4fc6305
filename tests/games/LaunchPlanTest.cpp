#include <gtest/gtest.h>

#include <QFile>
#include <QFileInfo>

#include "TestSupport.h"
#include "ZipTestArchive.h"
#include "catalogue/EmulatorRow.h"
#include "games/LaunchPlan.h"
#include "games/ZipUnpacker.h"

using namespace rix;
using rixtest::Entry;

namespace {

class LaunchPlanTest : public ::testing::Test {
protected:
  void SetUp() override {
    app = dir.path();
    ASSERT_TRUE(rixtest::WriteAll(dir.file("My Emulators/st ella"), "#!/bin/sh\n"));
    QFile::setPermissions(dir.file("My Emulators/st ella"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    ASSERT_TRUE(rixtest::WriteAll(dir.file("My Games/sp ace \"q\".rom"), "rom"));
    ASSERT_TRUE(rixtest::WriteAll(dir.file("My Games/pa ck.zip"),
                                  rixtest::BuildZip({Entry("Ri ver.a26", "1")}).bytes));
    ASSERT_TRUE(rixtest::WriteAll(
        dir.file("My Games/A D V.ZIP"),
        rixtest::BuildZip({Entry("GAME.EXE", "x"), Entry("DATA/1.dat", "d")}).bytes));
    ASSERT_TRUE(rixtest::WriteAll(
        dir.file("My Games/own.zip"),
        rixtest::BuildZip({Entry("OWN/", ""), Entry("OWN/a.rom", "a"), Entry("own/b.rom", "b")})
            .bytes));
  }
  LaunchPlan Plan(const rix::EmulatorRow& row, const QString& game, const QString& member = {}) {
    LaunchPlace place;
    place.appDir = app;
    place.romDir = dir.path() + "My Games/";
    place.searchPath = searchPath;
    place.unpackFolder = [this] {
      const QString f = dir.path() + QStringLiteral("tmp/%1/").arg(++launches);
      return f;
    };
    return PlanLaunch(row, game, member, place, unzip);
  }
  QString Folder() const { return dir.path() + QStringLiteral("tmp/%1/").arg(launches); }

  rixtest::ScratchDir dir;
  QString app;
  QString searchPath;
  ZipUnpacker unzip;
  int launches = 0;
};

}  // namespace

TEST_F(LaunchPlanTest, ShapesTimesGameKindsWithBlanksEverywhere) {
  const QString exe = dir.path() + "My Emulators/st ella";
  const QString games = dir.path() + "My Games/";
  struct Kind {
    QString cell;
    bool directoryMode;
    QString name;  // handed on; "@" for the unpack folder
  } kinds[] = {
      {"sp ace \"q\".rom", false, "sp ace \"q\".rom"},
      {"pa ck.zip", false, "Ri ver.a26"},
      {"A D V.ZIP", true, "A D V"},
  };
  for (const Kind& k : kinds) {
    for (int shape = 0; shape < 4; ++shape) {
      SCOPED_TRACE((k.cell + " shape " + QString::number(shape)).toStdString());
      rix::EmulatorRow row;
      row.program = "My Emulators\\st ella";
      row.startInEmuDir = shape & 1;
      row.startInGameDir = shape & 2;
      row.directoryMode = k.directoryMode;
      row.commandBefore = "-a \"x y\"";
      row.commandAfter = "-z";
      const LaunchPlan p = Plan(row, k.cell);
      ASSERT_EQ(p.status, LaunchPlan::Status::Ready);
      const bool unpacked = k.cell.contains(".zip", Qt::CaseInsensitive);
      const QString where = unpacked ? Folder() : games;
      EXPECT_EQ(p.program, exe);
      EXPECT_EQ(p.romDir, where);
      const QString game = row.startInGameDir ? k.name : where + k.name;
      EXPECT_EQ(p.arguments, (QStringList{"-a", "x y", game, "-z"}));
      const QString shown = row.startInEmuDir ? "st ella" : exe;
      EXPECT_EQ(p.command, shown + " -a \"x y\" " + game + " -z");
      const QString workingDir = row.startInGameDir  ? where
                                 : row.startInEmuDir ? dir.path() + "My Emulators/"
                                                     : app;
      EXPECT_EQ(p.workingDir, workingDir);
      if (unpacked) {
        EXPECT_TRUE(QFileInfo::exists(where + k.name));
      }
    }
  }
}

TEST_F(LaunchPlanTest, DirectoryModeHandsOnAFolderThatHoldsTheGame) {
  rix::EmulatorRow row;
  row.program = "My Emulators\\st ella";
  row.directoryMode = true;
  // Flat: unpacked into a folder named like the archive.
  LaunchPlan p = Plan(row, "A D V.ZIP");
  EXPECT_EQ(rixtest::FileTree(Folder()),
            QStringList({"A D V/", "A D V/DATA/", "A D V/DATA/1.dat", "A D V/GAME.EXE"}));
  EXPECT_TRUE(p.unzipIsDir);
  // Its own folder (in any case): unpacked as it stands, the folder named as on disk.
  p = Plan(row, "own.zip");
  EXPECT_EQ(p.unzipName, "OWN");
  EXPECT_EQ(p.arguments.last(), Folder() + "OWN");
  EXPECT_EQ(rixtest::FileTree(Folder()), QStringList({"OWN/", "OWN/a.rom", "OWN/b.rom"}));
  // A member of a flat archive lands in the folder too.
  p = Plan(row, "A D V.ZIP", "game.exe");
  EXPECT_EQ(rixtest::FileTree(Folder()), QStringList({"A D V/", "A D V/GAME.EXE"}));
}

TEST_F(LaunchPlanTest, UnicodeNamesAreHandedOnAsTheFilesAreNamed) {
  const QString green = QStringLiteral("綠色.a26");
  const QByteArray utf8 = green.toUtf8();
  const QByteArray big5 = rixtest::Big5(green);
  // The Info-ZIP Unicode Path field: version 1, the CRC-32 of the stored name, the UTF-8 name.
  QByteArray unicodeExtra("\x75\x70", 2);
  auto add16 = [](QByteArray& b, int v) { b.append(char(v & 0xFF)).append(char(v >> 8)); };
  add16(unicodeExtra, 5 + utf8.size());
  unicodeExtra.append('\1');
  const quint32 crc = [&] {
    quint32 c = 0xFFFFFFFFu;
    for (char ch : QByteArray("stored")) {
      c ^= uchar(ch);
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1u)));
    }
    return ~c;
  }();
  for (int i = 0; i < 4; ++i) unicodeExtra.append(char(crc >> (8 * i)));
  unicodeExtra += utf8;

  rixtest::ZipTestEntry flagged = Entry(utf8, "f");
  flagged.flags = 1 << 11;
  rixtest::ZipTestEntry extra = Entry("stored", "e");
  extra.centralExtra = unicodeExtra;
  rixtest::ZipTestEntry badExtra = Entry(big5, "b");  // a CRC of another name: ignored
  badExtra.centralExtra = unicodeExtra;
  rixtest::ZipTestEntry unix = Entry(utf8, "u");
  unix.madeBy = 0x031E;
  rixtest::ZipTestEntry unixBig5 = Entry(big5, "n");  // not valid UTF-8: Big5 after all
  unixBig5.madeBy = 0x031E;
  rixtest::ZipTestEntry dos = Entry(big5, "d");
  struct Case {
    const char* archive;
    rixtest::ZipTestEntry entry;
  } cases[] = {{"flag.zip", flagged}, {"extra.zip", extra},       {"bad.zip", badExtra},
               {"unix.zip", unix},    {"unixbig5.zip", unixBig5}, {"dos.zip", dos}};
  rix::EmulatorRow row;
  row.program = "My Emulators\\st ella";
  for (const Case& c : cases) {
    ASSERT_TRUE(rixtest::WriteAll(dir.file("My Games/") + c.archive,
                                  rixtest::BuildZip({c.entry, Entry("other.txt", "o")}).bytes));
    for (const QString& member : {QString(), green, QStringLiteral("綠色.A26")}) {
      SCOPED_TRACE(std::string(c.archive) + " " + member.toStdString());
      const LaunchPlan p = Plan(row, c.archive, member);
      EXPECT_EQ(p.romFile, green);
      EXPECT_EQ(p.arguments, QStringList{Folder() + green});
      EXPECT_EQ(rixtest::ReadAll(Folder() + green), c.entry.data);
      if (!member.isEmpty()) {
        EXPECT_EQ(rixtest::FileTree(Folder()), QStringList{green});
      }
    }
  }
}

TEST_F(LaunchPlanTest, ProgramsAreFoundInTheApplicationDirectoryThenOnPath) {
  ASSERT_TRUE(rixtest::WriteAll(dir.file("bin/emu"), "#!/bin/sh\n"));
  QFile::setPermissions(dir.file("bin/emu"), QFile::ReadOwner | QFile::ExeOwner);
  ASSERT_TRUE(rixtest::WriteAll(dir.file("bin/notes"), "text"));
  ASSERT_TRUE(rixtest::WriteAll(dir.file("other/emu"), "#!/bin/sh\n"));
  QFile::setPermissions(dir.file("other/emu"), QFile::ReadOwner | QFile::ExeOwner);
  const QString path = dir.file("none") + "::" + dir.file("bin") + ":" + dir.file("other");
  QString looked;
  EXPECT_EQ(FindEmulator("emu", app, path, &looked), dir.file("bin/emu"));  // first on PATH
  EXPECT_EQ(FindEmulator("notes", app, path, &looked), QString());          // not executable
  EXPECT_EQ(looked, app + "notes, PATH");
  // A name in the application directory wins; a path is never looked up on PATH.
  ASSERT_TRUE(rixtest::WriteAll(dir.file("emu"), "here"));
  EXPECT_EQ(FindEmulator("EMU", app, path, &looked), dir.file("emu"));
  EXPECT_EQ(FindEmulator("sub\\emu", app, path, &looked), QString());
  EXPECT_EQ(looked, app + "sub/emu");
  EXPECT_EQ(FindEmulator("C:\\DOSBOX\\emu", app, path, &looked), QString());
  EXPECT_EQ(looked, "/DOSBOX/emu");
  EXPECT_EQ(FindEmulator("", app, path, &looked), QString());

  // Started from its own directory, a program found on PATH runs there.
  rix::EmulatorRow row;
  row.program = "emu";
  row.startInEmuDir = true;
  QFile::remove(dir.file("emu"));
  searchPath = path;
  const LaunchPlan p = Plan(row, "sp ace \"q\".rom");
  EXPECT_EQ(p.program, dir.file("bin/emu"));
  EXPECT_EQ(p.workingDir, dir.file("bin/"));
  EXPECT_EQ(p.command, "emu  " + dir.path() + "My Games/sp ace \"q\".rom");
}

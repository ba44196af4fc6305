// Damaged and hostile archives: nothing may land outside the target directory, no file may
// appear half written, and the result must say what happened.

#include <gtest/gtest.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "TestSupport.h"
#include "ZipTestArchive.h"
#include "games/ZipReader.h"

namespace {

using namespace rix;
using rixtest::BuildZip;
using rixtest::Entry;
using rixtest::FileTree;
using rixtest::ReadAll;
using rixtest::ScratchDir;
using rixtest::WriteAll;
using rixtest::ZipTestArchive;
using rixtest::ZipTestEntry;

QByteArray Pattern(int size) {
  QByteArray b;
  for (int i = 0; b.size() < size; ++i) b += QByteArray::number(i * 2654435761u % 99991) + ' ';
  return b.left(size);
}

// The archive sits beside the target directory "out/", so anything escaping shows up.
struct Case {
  ScratchDir dir;
  QString out() const { return dir.file("out/"); }
  int Run(const ZipTestArchive& zip, const QByteArray& mask = "") {
    EXPECT_TRUE(WriteAll(dir.file("a.zip"), zip.bytes));
    return ZipExtractMatching(dir.file("a.zip"), out(), mask);
  }
  QStringList Outside() const {
    QStringList all = FileTree(dir.path());
    all.removeAll("a.zip");
    all.removeIf([](const QString& p) { return p.startsWith("out/"); });
    return all;
  }
};

TEST(ZipHostile, NamesLeavingTheTargetEndTheWalk) {
  const QByteArray escapes[] = {"../evil.rom",
                                "a/../../evil.rom",
                                "/tmp/evil.rom",
                                "\\evil.rom",
                                "C:evil.rom",
                                "a\\..\\..\\evil.rom",
                                "..",
                                "../",
                                QByteArray("x\0y", 3)};
  for (const QByteArray& name : escapes) {
    SCOPED_TRACE(name.constData());
    Case c;
    EXPECT_EQ(c.Run(BuildZip({Entry("ok.rom", "1"), Entry(name, "evil"), Entry("z.rom", "2")})), 1);
    EXPECT_EQ(FileTree(c.out()), QStringList({"ok.rom"}));
    EXPECT_EQ(c.Outside(), QStringList());
  }
}

TEST(ZipHostile, SymlinksInsideTheTargetAreNotFollowed) {
  Case c;
  ASSERT_TRUE(QDir().mkpath(c.dir.file("elsewhere")));
  ASSERT_TRUE(WriteAll(c.dir.file("elsewhere/victim.rom"), "precious"));
  ASSERT_TRUE(QDir().mkpath(c.out()));
  ASSERT_EQ(::symlink("../elsewhere", QFile::encodeName(c.out() + "dirlink").constData()), 0);
  ASSERT_EQ(
      ::symlink("../elsewhere/victim.rom", QFile::encodeName(c.out() + "filelink.rom").constData()),
      0);

  // A file over a link replaces the link, not what it points at.
  EXPECT_EQ(c.Run(BuildZip({Entry("filelink.rom", "new")})), 1);
  EXPECT_FALSE(QFileInfo(c.out() + "filelink.rom").isSymLink());
  EXPECT_EQ(ReadAll(c.out() + "filelink.rom"), "new");
  // A link as a directory component stops the walk.
  EXPECT_EQ(c.Run(BuildZip({Entry("dirlink/victim.rom", "evil")})), 0);
  EXPECT_EQ(c.Run(BuildZip({Entry("DIRLINK/new.rom", "evil")})), 0);
  EXPECT_EQ(c.Run(BuildZip({Entry("dirlink/sub/", "")})), 0);
  EXPECT_EQ(ReadAll(c.dir.file("elsewhere/victim.rom")), "precious");
  EXPECT_EQ(FileTree(c.dir.file("elsewhere")), QStringList({"victim.rom"}));
}

TEST(ZipHostile, BadCrcLeavesNoOutputAndKeepsTheOldFile) {
  Case c;
  ASSERT_TRUE(WriteAll(c.out() + "b.rom", "previous"));
  const QByteArray data = Pattern(5000);
  for (uint16_t method : {0, 8}) {
    SCOPED_TRACE(method);
    ZipTestArchive zip =
        BuildZip({Entry("a.rom", "a"), Entry("b.rom", data, method), Entry("sub/c.rom", "c")});
    zip.Put32(zip.local[1] + 14, 0x12345678);  // the local header's CRC is the one used
    EXPECT_EQ(c.Run(zip), 1);
    EXPECT_EQ(FileTree(c.out()), QStringList({"a.rom", "b.rom"}));
    EXPECT_EQ(ReadAll(c.out() + "b.rom"), "previous");
  }
}

TEST(ZipHostile, WrongSizesNeverProduceAFile) {
  const QByteArray data = Pattern(20000);
  struct Damage {
    const char* what;
    uint16_t method;
    int field;  // offset in the local header
    uint32_t value;
  };
  const Damage damages[] = {
      {"deflated, size too small", 8, 22, 19999},   {"deflated, size too large", 8, 22, 20001},
      {"deflated, size absurd", 8, 22, 0xFFFFFFF0}, {"deflated, data cut short", 8, 18, 100},
      {"stored, sizes disagree", 0, 22, 19000},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    Case c;
    ZipTestArchive zip = BuildZip({Entry("first.rom", "1"), Entry("x.rom", data, d.method)});
    zip.Put32(zip.local[1] + d.field, d.value);
    EXPECT_EQ(c.Run(zip), 1);
    EXPECT_EQ(FileTree(c.out()), QStringList({"first.rom"}));
  }
}

TEST(ZipHostile, UnreadableStructuresGiveNegativeCodes) {
  const QByteArray data = Pattern(3000);
  struct Damage {
    const char* what;
    std::function<void(ZipTestArchive&)> apply;
    int result;
    QStringList left;  // what was unpacked before the damage was met
  };
  const QStringList first = {"first.rom"};
  const Damage damages[] = {
      {"local offset past the end",
       [](ZipTestArchive& z) { z.Put32(z.central[1] + 42, 0x7FFFFFFF); }, kZipBadLocalHeader,
       first},
      {"local signature wrong", [](ZipTestArchive& z) { z.bytes[z.local[1] + 2] = 'x'; },
       kZipBadLocalHeader, first},
      {"compressed size past the end",
       [](ZipTestArchive& z) { z.Put32(z.local[1] + 18, 0x00FFFFFF); }, kZipDataOutOfRange, first},
      {"more entries than headers",
       [](ZipTestArchive& z) { z.Put16(z.end + 10, 3); },
       kZipBadDirectory,
       {"first.rom", "x.rom"}},
      {"central signature wrong", [](ZipTestArchive& z) { z.bytes[z.central[1] + 3] = 9; },
       kZipBadDirectory, first},
      {"directory offset past the end",
       [](ZipTestArchive& z) { z.Put32(z.end + 16, 0xFFFFFFF0); },
       kZipBadDirectory,
       {}},
      {"name length past the end", [](ZipTestArchive& z) { z.Put16(z.central[1] + 28, 0xFFFF); },
       kZipBadDirectory, first},
      {"descriptor disagrees with the directory",
       [](ZipTestArchive& z) {
         z.Put16(z.local[1] + 6, 8);
         z.Put32(z.central[1] + 20, 100);
       },
       kZipBadLocalHeader, first},
  };
  for (const Damage& d : damages) {
    SCOPED_TRACE(d.what);
    Case c;
    ZipTestArchive zip = BuildZip({Entry("first.rom", "1"), Entry("x.rom", data, 8)});
    d.apply(zip);
    EXPECT_EQ(c.Run(zip), d.result);
    EXPECT_EQ(FileTree(c.out()), d.left);
  }
}

TEST(ZipHostile, OutputThatCannotBeWrittenEndsTheWalk) {
  Case c;
  ASSERT_TRUE(QDir().mkpath(c.out() + "taken.rom"));  // a directory where a file should go
  ASSERT_TRUE(WriteAll(c.out() + "file", "x"));       // a file where a directory should go
  EXPECT_EQ(c.Run(BuildZip({Entry("a.rom", "a"), Entry("taken.rom", "t"), Entry("b.rom", "b")})),
            1);
  EXPECT_EQ(c.Run(BuildZip({Entry("file/under.rom", "u")})), 0);
  EXPECT_EQ(FileTree(c.out()), QStringList({"a.rom", "file", "taken.rom/"}));
}

}  // namespace

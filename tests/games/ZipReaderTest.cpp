#include <gtest/gtest.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "TestSupport.h"
#include "ZipTestArchive.h"
#include "games/ZipExtractor.h"
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

TEST(ZipMask, Rules) {
  struct Case {
    const char* mask;
    const char* name;
    bool match;
  };
  const Case cases[] = {
      {"", "anything\\at.all", true},
      {"*.*", "noext", true},
      {"*", "dir\\x.y", true},
      {"*.rom", "game.rom", true},
      {"*.ROM", "Game.Rom", true},
      {"*.rom", "dir\\game.rom", true},
      {"*.rom", "game.rom.bak", false},      // compared after the first "."
      {"*.rom", "dir.v1\\game.rom", false},  // the first "." may sit in a directory
      {"*.", "readme", true},
      {"*.rom", "rom", false},
      {"game*", "game.rom", true},
      {"game*", "gamex.bin", true},
      {"game*", "gam.rom", false},
      {"GAME*", "game.rom", true},
      {"game.*", "game.rom", true},
      {"game.*", "game", true},
      {"game.*", "other.rom", false},
      {"GAME.ROM", "game.rom", true},
      {"game.rom", "game.rom.bak", false},
      {"game.rom", "dir\\game.rom", false},
      {"DIR\\GAME.ROM", "dir\\game.rom", true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ZipMaskMatches(c.mask, c.name), c.match) << c.mask << " vs " << c.name;
}

TEST(ZipMask, DoubleByteCharactersAreNotCaseFolded) {
  // 0xA4 0x41 and 0xA4 0x61 are two different Big5 characters.
  EXPECT_FALSE(ZipMaskMatches("\xA4\x41.rom", "\xA4\x61.rom"));
  EXPECT_TRUE(ZipMaskMatches("\xA4\x41.ROM", "\xA4\x41.rom"));
  EXPECT_FALSE(ZipMaskMatches("\xA4\x41*", "\xA4\x61x.rom"));
}

TEST(ZipFirstEntry, NameOfTheFirstCentralHeader) {
  ScratchDir dir;
  auto zip = BuildZip({Entry("sub/dir/first.rom", "1"), Entry("second.rom", "2")},
                      QByteArray(300, 'c'));  // a comment makes the end record harder to find
  ASSERT_TRUE(WriteAll(dir.file("a.zip"), zip.bytes));
  EXPECT_EQ(ZipFirstEntryName(dir.file("a.zip")), "sub\\dir\\first.rom");

  const QByteArray longName = QByteArray(150, 'a') + "/" + QByteArray(150, 'b');
  ASSERT_TRUE(WriteAll(dir.file("long.zip"), BuildZip({Entry(longName, "x")}).bytes));
  const QByteArray got = ZipFirstEntryName(dir.file("long.zip"));
  EXPECT_EQ(got.size(), 259);
  EXPECT_EQ(got, QByteArray(longName).replace('/', '\\').left(259));
}

TEST(ZipFirstEntry, EmptyWhenThereIsNoEntry) {
  ScratchDir dir;
  ASSERT_TRUE(WriteAll(dir.file("empty.zip"), BuildZip({}).bytes));
  ASSERT_TRUE(WriteAll(dir.file("text.zip"), "PK\x03\x04 but nothing else"));
  EXPECT_EQ(ZipFirstEntryName(dir.file("empty.zip")), "");
  EXPECT_EQ(ZipFirstEntryName(dir.file("text.zip")), "");
  EXPECT_EQ(ZipFirstEntryName(dir.file("missing.zip")), "");
  EXPECT_EQ(ZipFirstEntryName(dir.path()), "");
  EXPECT_EQ(ZipFirstEntryName(""), "");
}

TEST(ZipExtract, ChecksBeforeAnything) {
  ScratchDir dir;
  const QString out = dir.file("out/");
  ASSERT_TRUE(WriteAll(dir.file("ok.zip"), BuildZip({Entry("a.rom", "a")}).bytes));
  ASSERT_TRUE(WriteAll(dir.file("game.exe.zip"), BuildZip({Entry("a.rom", "a")}).bytes));
  ASSERT_TRUE(WriteAll(dir.file("noext"), BuildZip({Entry("a.rom", "a")}).bytes));
  ASSERT_TRUE(WriteAll(dir.file("mz.zip"), "MZ\x90\x00"));
  ASSERT_TRUE(WriteAll(dir.file("noend.zip"), BuildZip({Entry("a.rom", "a")}).bytes.left(40)));
  QDir().mkpath(dir.file("folder.zip"));

  EXPECT_EQ(ZipExtractMatching("", out, ""), kZipNoPath);
  EXPECT_EQ(ZipExtractMatching(dir.file("ok.zip"), "", ""), kZipNoPath);
  EXPECT_EQ(ZipExtractMatching(dir.file("noext"), out, ""), kZipNotArchiveName);
  EXPECT_EQ(ZipExtractMatching(dir.file("game.exe.zip"), out, ""), kZipNotArchiveName);
  EXPECT_EQ(ZipExtractMatching(dir.file("folder.zip"), out, ""), kZipIsDirectory);
  EXPECT_EQ(ZipExtractMatching(dir.file("missing.zip"), out, ""), kZipCannotRead);
  EXPECT_EQ(ZipExtractMatching(dir.file("mz.zip"), out, ""), kZipNotZip);
  EXPECT_EQ(ZipExtractMatching(dir.file("noend.zip"), out, ""), kZipBadDirectory);
  EXPECT_FALSE(QFileInfo::exists(out));

  EXPECT_EQ(ZipExtractMatching(dir.file("ok.zip"), out, ""), 1);  // target made on the way
  EXPECT_EQ(ReadAll(out + "a.rom"), "a");
}

TEST(ZipExtract, StoredDeflatedDescriptorsAndDirectories) {
  ScratchDir dir;
  QByteArray big;
  for (int i = 0; i < 5000; ++i) big += "line " + QByteArray::number(i * 7919 % 1000) + "\n";
  ZipTestEntry withSig = Entry("d/sig.txt", big, 8);
  withSig.descriptor = ZipTestEntry::Descriptor::WithSignature;
  ZipTestEntry plain = Entry("d/plain.bin", "stored with descriptor");
  plain.descriptor = ZipTestEntry::Descriptor::Plain;
  auto zip =
      BuildZip({Entry("empty/", ""), Entry("a/b/c/", ""), Entry("stored.txt", "hello"),
                Entry("deep/er/deflated.txt", big, 8), Entry("zero.bin", ""), withSig, plain});
  ASSERT_TRUE(WriteAll(dir.file("g.zip"), zip.bytes));
  const QString out = dir.file("out");  // no trailing separator: one is added
  EXPECT_EQ(ZipExtractMatching(dir.file("g.zip"), out, "*.*"), 7);
  EXPECT_EQ(FileTree(out),
            QStringList({"a/", "a/b/", "a/b/c/", "d/", "d/plain.bin", "d/sig.txt", "deep/",
                         "deep/er/", "deep/er/deflated.txt", "empty/", "stored.txt", "zero.bin"}));
  EXPECT_EQ(ReadAll(out + "/stored.txt"), "hello");
  EXPECT_EQ(ReadAll(out + "/deep/er/deflated.txt"), big);
  EXPECT_EQ(ReadAll(out + "/d/sig.txt"), big);
  EXPECT_EQ(ReadAll(out + "/d/plain.bin"), "stored with descriptor");
  EXPECT_EQ(QFileInfo(out + "/zero.bin").size(), 0);
}

// Bytes whose matches reach back up to the whole window, so that a deflate stream of them
// refers across every piece the inflater writes out.
QByteArray FarMatches(int size) {
  QByteArray out;
  out.reserve(size);
  uint64_t x = 0x9E3779B97F4A7C15ull;
  while (out.size() < size) {
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    if (out.size() > 40000 && x % 3 == 0) {
      const qsizetype from = out.size() - 1 - static_cast<qsizetype>((x >> 8) % 32000);
      for (int i = 0; i < 3 + static_cast<int>((x >> 24) % 200); ++i) out += out[from + i];
    } else {
      out += static_cast<char>('a' + (x >> 40) % 16);
    }
  }
  out.truncate(size);
  return out;
}

TEST(ZipExtract, DeflatedEntriesOfEverySizeUnpackByteForByte) {
  // Around the inflater's output piece, and beyond the size from which a second thread
  // writes; a wrong CRC is caught on either path.
  const int writeBehind = static_cast<int>(ZipExtractor::kWriteBehindFrom) + 123;
  for (const int size : {1, (256 << 10) - 1, (256 << 10) + 1, 3 << 19, writeBehind}) {
    SCOPED_TRACE(size);
    ScratchDir dir;
    const QByteArray data = FarMatches(size);
    ZipTestArchive zip = BuildZip({Entry("a.bin", data, 8), Entry("b.bin", data, 8)});
    zip.Put32(zip.local[1] + 14, 0x12345678);
    ASSERT_TRUE(WriteAll(dir.file("g.zip"), zip.bytes));
    EXPECT_EQ(ZipExtractMatching(dir.file("g.zip"), dir.file("out/"), "*.*"), 1);
    EXPECT_EQ(FileTree(dir.file("out/")), QStringList({"a.bin"}));
    EXPECT_TRUE(ReadAll(dir.file("out/a.bin")) == data);
  }
}

TEST(ZipExtract, MaskSelectsEntriesAndBackslashNamesMakeDirectories) {
  ScratchDir dir;
  auto zip = BuildZip({Entry("game.rom", "r1"), Entry("readme.txt", "t"),
                       Entry("sub\\other.ROM", "r2"), Entry("GAME.BIN", "b")});
  ASSERT_TRUE(WriteAll(dir.file("g.zip"), zip.bytes));
  EXPECT_EQ(ZipExtractMatching(dir.file("g.zip"), dir.file("rom"), "*.rom"), 2);
  EXPECT_EQ(FileTree(dir.file("rom")), QStringList({"game.rom", "sub/", "sub/other.ROM"}));
  EXPECT_EQ(ZipExtractMatching(dir.file("g.zip"), dir.file("one"), "SUB\\OTHER.rom"), 1);
  EXPECT_EQ(FileTree(dir.file("one")), QStringList({"sub/", "sub/other.ROM"}));
  EXPECT_EQ(ZipExtractMatching(dir.file("g.zip"), dir.file("none"), "nothing.rom"), 0);
  EXPECT_FALSE(QFileInfo::exists(dir.file("none")));
}

TEST(ZipExtract, OverwritesAndReusesNamesThatDifferOnlyInCase) {
  ScratchDir dir;
  const QString out = dir.file("out/");
  ASSERT_TRUE(WriteAll(out + "GAME/OLD.ROM", "old contents, longer than the new ones"));
  QFile(out + "GAME/OLD.ROM").setPermissions(QFileDevice::ReadOwner);
  ASSERT_TRUE(WriteAll(out + "keep.txt", "untouched"));
  auto zip = BuildZip({Entry("game/old.rom", "new"), Entry("game/new.rom", "n")});
  ASSERT_TRUE(WriteAll(dir.file("g.zip"), zip.bytes));
  EXPECT_EQ(ZipExtractMatching(dir.file("g.zip"), out, ""), 2);
  EXPECT_EQ(FileTree(out), QStringList({"GAME/", "GAME/OLD.ROM", "GAME/new.rom", "keep.txt"}));
  EXPECT_EQ(ReadAll(out + "GAME/OLD.ROM"), "new");
  EXPECT_EQ(ReadAll(out + "keep.txt"), "untouched");
}

TEST(ZipExtract, ModificationTimeIsTheEntryDateAsLocalTime) {
  ScratchDir dir;
  ZipTestEntry e = Entry("dated.rom", "x", 8);
  e.dosDate = ((1998 - 1980) << 9) | (7 << 5) | 14;  // 1998-07-14
  e.dosTime = (23 << 11) | (59 << 5) | (58 / 2);     // 23:59:58
  ZipTestEntry bad = Entry("undated.rom", "y");
  bad.dosDate = 0;  // month 0: no date at all
  ASSERT_TRUE(WriteAll(dir.file("g.zip"), BuildZip({e, bad}).bytes));
  const QDateTime before = QDateTime::currentDateTime().addSecs(-5);
  ASSERT_EQ(ZipExtractMatching(dir.file("g.zip"), dir.path(), ""), 2);
  EXPECT_EQ(QFileInfo(dir.file("dated.rom")).lastModified(),
            QDateTime(QDate(1998, 7, 14), QTime(23, 59, 58), Qt::LocalTime));
  EXPECT_GE(QFileInfo(dir.file("undated.rom")).lastModified(), before);
}

TEST(ZipExtract, NamesAreBig5OrUtf8) {
  ScratchDir dir;
  // 許, 功 and 蓋 end in the byte 0x5C, which must not split the name.
  const QByteArray big5 = rixtest::Big5(QStringLiteral("許功蓋/遊戲.rom"));
  ASSERT_EQ(big5.count('\\'), 3);
  ZipTestEntry utf8 = Entry(QStringLiteral("日本/ゲーム.rom").toUtf8(), "u");
  utf8.flags = 1 << 11;
  ASSERT_TRUE(WriteAll(dir.file("g.zip"), BuildZip({Entry(big5, "b"), utf8}).bytes));
  EXPECT_EQ(ZipExtractMatching(dir.file("g.zip"), dir.path(), ""), 2);
  EXPECT_EQ(ReadAll(dir.file(QStringLiteral("許功蓋/遊戲.rom"))), "b");
  EXPECT_EQ(ReadAll(dir.file(QStringLiteral("日本/ゲーム.rom"))), "u");
  EXPECT_EQ(ZipFirstEntryName(dir.file("g.zip")),
            rixtest::Big5(QStringLiteral("許功蓋\\遊戲.rom")));
}

TEST(ZipExtract, FirstMatchingEntryThatCannotBeUnpackedEndsTheWalk) {
  ScratchDir dir;
  ZipTestEntry encrypted = Entry("secret.rom", "s");
  encrypted.flags = 1;
  ZipTestEntry unknown = Entry("bzip2.rom", "z", 12);
  for (const ZipTestEntry& stopper : {encrypted, unknown}) {
    SCOPED_TRACE(stopper.name.constData());
    ScratchDir out;
    auto zip =
        BuildZip({Entry("one.rom", "1"), Entry("skip.txt", "t"), stopper, Entry("three.rom", "3")});
    ASSERT_TRUE(WriteAll(dir.file("g.zip"), zip.bytes));
    EXPECT_EQ(ZipExtractMatching(dir.file("g.zip"), out.path(), "*.rom"), 1);
    EXPECT_EQ(FileTree(out.path()), QStringList({"one.rom"}));
    // When the mask passes it by, it stops nothing.
    EXPECT_EQ(ZipExtractMatching(dir.file("g.zip"), out.path(), "*.txt"), 1);
  }
}

}  // namespace

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QThread>

#include "TestSupport.h"
#include "platform/AppPaths.h"
#include "platform/Big5.h"
#include "platform/ByteText.h"
#include "platform/DirectoryIndex.h"

using namespace rix;

TEST(ByteText, TrimDropsEveryByteBelow33AtBothEndsOnly) {
  EXPECT_EQ(TrimBytes("\t \r\n a b \x01\x1f "), "a b");
  EXPECT_EQ(TrimBytes("   "), "");
  EXPECT_EQ(TrimBytes(""), "");
  // 0x21 and high bytes are kept.
  EXPECT_EQ(TrimBytes("!\xA4\x40"), "!\xA4\x40");
}

TEST(ByteText, CaseChangesStepOverDoubleByteCharacters) {
  // 0xA4 0x61 is one Big5 character whose trail byte looks like 'a'.
  const QByteArray mixed = "Ab\xA4\x61z\xB0\x5A";
  EXPECT_EQ(UpperAscii(mixed), QByteArray("AB\xA4\x61Z\xB0\x5A"));
  EXPECT_EQ(LowerAscii(mixed), QByteArray("ab\xA4\x61z\xB0\x5A"));
  // A lead byte at the very end stands alone.
  EXPECT_EQ(UpperAscii("a\xA4"), QByteArray("A\xA4"));
}

TEST(ByteText, FlagColumnsCountOnlyYes) {
  for (const char* yes : {"YES", "  yes\t", "Yes"}) EXPECT_TRUE(IsYes(yes)) << yes;
  for (const char* no : {"y", "true", "", "No", "yes!"}) EXPECT_FALSE(IsYes(no)) << no;
}

TEST(ByteText, WholeNumbersAsTheRuntimeReadsThem) {
  int v = 0;
  EXPECT_TRUE(ParseWholeNumber("  7", &v));
  EXPECT_EQ(v, 7);
  EXPECT_TRUE(ParseWholeNumber("-12", &v));
  EXPECT_EQ(v, -12);
  EXPECT_TRUE(ParseWholeNumber("+5", &v));
  EXPECT_EQ(v, 5);
  for (const char* bad : {"", " ", "7 ", "1a", "--1", "99999999999", "\t7"})
    EXPECT_FALSE(ParseWholeNumber(bad, &v)) << bad;
}

TEST(Big5, RoundTripAndUnmappableCharacters) {
  const QString text = QStringLiteral("遊戲總數: 12");
  const QByteArray bytes = Big5Encode(text);
  EXPECT_EQ(bytes.left(2), QByteArray("\xB9\x43"));  // 遊
  EXPECT_EQ(Big5Decode(bytes), text);
  // A character with no Big5 code becomes one "?".
  EXPECT_EQ(Big5Encode(QStringLiteral("a😀b")), QByteArray("a?b"));
  EXPECT_EQ(Big5Encode(QStringLiteral("Ω€")).size(), 4);
}

TEST(AppPaths, ApplicationDirectoryRule) {
  const QString app = "/opt/rix/";
  EXPECT_EQ(ApplyAppDirRule("docs\\x.txt", app), "/opt/rix/docs\\x.txt");
  EXPECT_EQ(ApplyAppDirRule("", app), "/opt/rix/");
  EXPECT_EQ(ApplyAppDirRule("C:\\Games\\", app), "C:\\Games\\");
  EXPECT_EQ(ApplyAppDirRule("/srv/games", app), "/srv/games");
  // A leading "\" without a drive is relative too.
  EXPECT_EQ(ApplyAppDirRule("\\pics", app), "/opt/rix/\\pics");
}

TEST(AppPaths, NativeMappingOfSeparatorsAndDrives) {
  EXPECT_EQ(NativePath("C:\\Games\\neo\\a.zip"), "/Games/neo/a.zip");
  EXPECT_EQ(NativePath("d:PICSab.gif"), "/PICSab.gif");
  EXPECT_EQ(NativePath("/opt/rix/pics\\a.bmp"), "/opt/rix/pics/a.bmp");
  EXPECT_EQ(DirectoryPart("C:\\a\\b.txt"), "C:\\a\\");
  EXPECT_EQ(DirectoryPart("C:x"), "C:");
  EXPECT_EQ(DirectoryPart("plain"), "");
  EXPECT_EQ(FileNamePart("/x/y\\z.rom"), "z.rom");
}

TEST(AppPaths, MissingComponentsAreFoundWithoutRegardToAsciiCase) {
  rixtest::ScratchDir d;
  ASSERT_TRUE(rixtest::WriteAll(d.file("Games/SNES/SpaceCat.smc"), "x"));
  CaseResolver r;
  EXPECT_EQ(r.resolve(d.path() + "games/snes/spacecat.SMC"), d.path() + "Games/SNES/SpaceCat.smc");
  EXPECT_EQ(r.resolve(d.path() + "GAMES/snes/"), d.path() + "Games/SNES/");
  // What exists as written is taken as written; what matches nothing stays.
  EXPECT_EQ(r.resolve(d.path() + "Games"), d.path() + "Games");
  EXPECT_EQ(r.resolve(d.path() + "games/none/x.rom"), d.path() + "Games/none/x.rom");
  // Only ASCII letters fold.
  ASSERT_TRUE(rixtest::WriteAll(d.file("Ä.txt"), "x"));
  EXPECT_EQ(r.resolve(d.path() + "ä.txt"), d.path() + "ä.txt");
  EXPECT_EQ(ResolvePath(d.path() + "GAMES\\SNES\\SPACECAT.SMC"),
            d.path() + "Games/SNES/SpaceCat.smc");
}

TEST(AppPaths, NamesKeptBetweenResolversFollowTheDirectory) {
  // A directory that stood still is read once for every resolver after; a
  // change to it is seen at the next look.
  rixtest::ScratchDir d;
  ASSERT_TRUE(rixtest::WriteAll(d.file("pics/Pic.PNG"), "x"));
  ASSERT_TRUE(rixtest::WriteAll(d.file("pics/b.png"), "x"));
  ASSERT_TRUE(rixtest::WriteAll(d.file("pics/B.png"), "x"));
  ASSERT_TRUE(QDir().mkpath(d.file("pics/Dir.png")));
  ASSERT_TRUE(rixtest::WriteAll(d.file(QStringLiteral("pics/한.png")), "x"));
  // Changed in the last two seconds, a directory is read afresh each time.
  EXPECT_EQ(ResolvePath(d.path() + "pics/pic.png"), d.path() + "pics/Pic.PNG");
  ASSERT_TRUE(QDir().rename(d.file("pics/Pic.PNG"), d.file("pics/PIC.png")));
  EXPECT_EQ(ResolvePath(d.path() + "pics/pic.png"), d.path() + "pics/PIC.png");
  QThread::msleep(2100);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(ResolvePath(d.path() + "pics/pic.png"), d.path() + "pics/PIC.png");
    // Of two that differ in case only, the first of the listing, as before.
    EXPECT_EQ(ResolvePath(d.path() + "pics/b.PNG"), d.path() + "pics/B.png");
    EXPECT_EQ(ResolvePath(d.path() + "PICS/missing.png"), d.path() + "pics/missing.png");
    // A file is found as the path lookup finds it, from the kept listing:
    // as written (also the later of two that differ in case only), in
    // another case, by its Big5 form; a directory or a missing name is none.
    EXPECT_EQ(ResolveFile(d.path() + "pics/pic.png"), d.path() + "pics/PIC.png");
    EXPECT_EQ(ResolveFile(d.path() + "pics/b.png"), d.path() + "pics/b.png");
    EXPECT_EQ(ResolveFile(d.path() + "pics/B.png"), d.path() + "pics/B.png");
    EXPECT_EQ(ResolveFile(d.path() + "pics/b.PNG"), d.path() + "pics/B.png");
    EXPECT_EQ(ResolveFile(d.path() + "pics/?.PNG"), d.path() + QStringLiteral("pics/한.png"));
    EXPECT_EQ(ResolveFile(d.path() + "pics/dir.png"), QString());
    EXPECT_EQ(ResolveFile(d.path() + "pics/missing.png"), QString());
    EXPECT_EQ(ResolveFile(d.path() + "PICS/pic.png"), d.path() + "pics/PIC.png");
  }
  ASSERT_TRUE(QDir().rename(d.file("pics/PIC.png"), d.file("pics/pIc.png")));
  EXPECT_EQ(ResolvePath(d.path() + "pics/pic.png"), d.path() + "pics/pIc.png");
  EXPECT_EQ(ResolveFile(d.path() + "pics/pic.png"), d.path() + "pics/pIc.png");
  ASSERT_TRUE(QFile::remove(d.file("pics/pIc.png")));
  EXPECT_EQ(ResolvePath(d.path() + "pics/pic.png"), d.path() + "pics/pic.png");
  EXPECT_EQ(ResolveFile(d.path() + "pics/pic.png"), QString());
}

TEST(DirectoryIndex, OneListingAnswersForEveryGame) {
  rixtest::ScratchDir d;
  ASSERT_TRUE(rixtest::WriteAll(d.file("Games/ALPHA.zip"), "x"));
  ASSERT_TRUE(rixtest::WriteAll(d.file("Games/Deep/Game.ROM"), "x"));
  ASSERT_TRUE(rixtest::WriteAll(d.file("Games/遊戲.rom"), "x"));
  QDir().mkpath(d.file("Games/beta.rom"));
  DirectoryIndex index(d.path() + "Games");
  EXPECT_TRUE(index.hasCellFile("alpha.ZIP"));
  EXPECT_TRUE(index.hasFile("alpha.zip"));
  EXPECT_FALSE(index.hasCellFile("beta.rom"));  // a directory is not a game file
  EXPECT_TRUE(index.hasCellFile("deep\\game.rom"));
  EXPECT_TRUE(index.hasFile("DEEP/GAME.rom"));
  EXPECT_FALSE(index.hasFile("deep\\"));
  EXPECT_FALSE(index.hasFile(""));
  EXPECT_FALSE(index.hasCellFile("missing.zip"));
  EXPECT_TRUE(index.hasFile(QStringLiteral("遊戲.rom")));
  DirectoryIndex none(d.path() + "nowhere");
  EXPECT_FALSE(none.hasCellFile("alpha.zip"));
}

TEST(DirectoryIndex, FoldsOnlyTheLettersAtEveryLengthAndPosition) {
  // Names are folded and compared several bytes at a time: the neighbours of
  // A and Z ('@', '[', '`', '{'), bytes above 0x7F, and a separator or the
  // end of the name in any place must all come out as one byte at a time.
  rixtest::ScratchDir d;
  const QByteArray alphabet = "@AZ[`az{";
  QList<QByteArray> names;
  for (int len = 1; len <= 19; ++len) {
    QByteArray n;
    for (int i = 0; i < len; ++i) n += alphabet[(i * 3 + len) % alphabet.size()];
    names << n;
    ASSERT_TRUE(rixtest::WriteAll(d.file("g/" + QString::fromLatin1(n)), "x"));
  }
  ASSERT_TRUE(rixtest::WriteAll(d.file("g/sub/In.Sub"), "x"));
  DirectoryIndex index(d.path() + "g");
  for (const QByteArray& n : names) {
    EXPECT_TRUE(index.hasCellFile(n.toUpper())) << n.constData();
    EXPECT_TRUE(index.hasCellFile(n.toLower())) << n.constData();
    QByteArray shifted = n;  // '@' and '[' are no letters: not folded into '`' or '{'
    shifted.replace('@', '`').replace('[', '{');
    if (shifted != n) {
      EXPECT_FALSE(index.hasCellFile(shifted)) << n.constData();
    }
  }
  EXPECT_TRUE(index.hasCellFile("SUB\\in.sub"));
  EXPECT_TRUE(index.hasCellFile("sub/IN.SUB"));
  EXPECT_FALSE(index.hasCellFile("sub\\in.su"));
}

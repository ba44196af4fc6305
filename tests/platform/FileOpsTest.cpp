#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <csignal>

#include "TestSupport.h"
#include "platform/AppDirectory.h"
#include "platform/Big5.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/TempDirectory.h"

using namespace rix;

namespace {

QString ReadError(const QString& path) {
  try {
    ReadFileBytes(path);
  } catch (const FileError& e) {
    return e.text();
  }
  return QStringLiteral("(no error)");
}

}  // namespace

TEST(FileOps, ReadErrorsCarryTheRuntimeTexts) {
  rixtest::ScratchDir d;
  EXPECT_EQ(ReadError(d.file("missing.ini")), QStringLiteral("找不到檔案"));
  EXPECT_EQ(ReadError(d.file("nodir/missing.ini")), QStringLiteral("不正確檔案名稱"));
  EXPECT_EQ(ReadError(d.path()), QStringLiteral("檔案拒絕存取"));
  EXPECT_EQ(FileError::FromErrno(EIO, "x").text(), QStringLiteral("輸出入錯誤 5"));
  ASSERT_TRUE(rixtest::WriteAll(d.file("a.ini"), QByteArray("a\0b", 3)));
  EXPECT_EQ(ReadFileBytes(d.file("a.ini")), QByteArray("a\0b", 3));
}

TEST(FileOps, AtomicWriteReplacesAndKeepsPermissions) {
  rixtest::ScratchDir d;
  const QString f = d.file("t.ini");
  ASSERT_TRUE(rixtest::WriteAll(f, "old"));
  ::chmod(QFile::encodeName(f).constData(), 0640);
  WriteFileAtomic(f, "new bytes");
  EXPECT_EQ(rixtest::ReadAll(f), "new bytes");
  struct stat st {};
  ::stat(QFile::encodeName(f).constData(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(QDir(d.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);  // no leftovers
}

TEST(FileOps, FailedWriteLeavesTheOldFileWhole) {
  rixtest::ScratchDir d;
  const QString f = d.file("t.ini");
  ASSERT_TRUE(rixtest::WriteAll(f, "precious"));
  // A file-size limit makes the write fail part way, as a full disk would.
  QString text;
  rixtest::WithFileSizeLimit(1024, [&] {
    try {
      WriteFileAtomic(f, QByteArray(64 * 1024, 'x'));
    } catch (const FileError& e) {
      text = e.text();
    }
  });
  EXPECT_TRUE(text.startsWith(QStringLiteral("輸出入錯誤 "))) << text.toStdString();
  EXPECT_EQ(rixtest::ReadAll(f), "precious");
  EXPECT_EQ(QDir(d.path()).entryList(QDir::Files | QDir::Hidden).size(), 1);
  // Writing into a directory that does not exist fails the same way.
  EXPECT_THROW(WriteFileAtomic(d.file("no/such/dir.ini"), "x"), FileError);
}

TEST(FileOps, EnsureFileDirectoryCreatesOnlyTheDirectoryPart) {
  rixtest::ScratchDir d;
  const QString app = d.path();
  EXPECT_EQ(EnsureFileDirectory("docs\\x.txt", app), EnsureDirResult::Created);
  EXPECT_TRUE(DirectoryExists(app + "docs"));
  EXPECT_FALSE(FileExists(app + "docs/x.txt"));
  EXPECT_EQ(EnsureFileDirectory("docs\\y.txt", app), EnsureDirResult::Existed);
  // Without a final separator only the parent is made.
  EXPECT_EQ(EnsureFileDirectory("games\\neo", app), EnsureDirResult::Created);
  EXPECT_TRUE(DirectoryExists(app + "games"));
  EXPECT_FALSE(DirectoryExists(app + "games/neo"));
  EXPECT_EQ(EnsureFileDirectory("a\\b\\c\\", app), EnsureDirResult::Created);
  EXPECT_TRUE(DirectoryExists(app + "a/b/c"));
  EXPECT_EQ(EnsureFileDirectory("", app), EnsureDirResult::Existed);
  // A directory that differs only in case already exists.
  EXPECT_EQ(EnsureFileDirectory("DOCS\\z.txt", app), EnsureDirResult::Existed);
  EXPECT_FALSE(DirectoryExists(app + "DOCS"));
  // A file in the way cannot become a directory.
  ASSERT_TRUE(rixtest::WriteAll(app + "blocker", "x"));
  EXPECT_EQ(EnsureFileDirectory("blocker\\sub\\f.txt", app), EnsureDirResult::Failed);
}

TEST(AppDirectory, ArgumentPortableAndFirstStart) {
  rixtest::ScratchDir d;
  EXPECT_EQ(ChooseAppDirectory({d.path() + "cat"}, d.path() + "exe", d.path() + "data").dir,
            d.path() + "cat/");
  ASSERT_TRUE(rixtest::WriteAll(d.file("exe/RixFront.ini"), "x"));
  EXPECT_EQ(ChooseAppDirectory({}, d.path() + "exe", d.path() + "data").dir, d.path() + "exe/");
  QFile::remove(d.file("exe/RixFront.ini"));
  const AppDirectoryChoice c = ChooseAppDirectory({}, d.path() + "exe", d.path() + "data");
  EXPECT_EQ(c.dir, d.path() + "data/");
  EXPECT_TRUE(c.createdFirstStartFiles);
  const QByteArray header = rixtest::ReadAll(d.file("data/RixFront.ini"));
  EXPECT_TRUE(header.endsWith("\r\n"));
  EXPECT_EQ(header.count(','), 12);
  EXPECT_TRUE(Big5Decode(header).startsWith(QStringLiteral("選項頁,")));
  EXPECT_TRUE(FileExists(d.file("data/EmuTree.ini")));
  // A second start keeps what the user has.
  ASSERT_TRUE(rixtest::WriteAll(d.file("data/RixFront.ini"), "mine"));
  EXPECT_FALSE(ChooseAppDirectory({}, d.path() + "exe", d.path() + "data").createdFirstStartFiles);
  EXPECT_EQ(rixtest::ReadAll(d.file("data/RixFront.ini")), "mine");
}

TEST(TempDirectory, PrivateAndRefusesForeignPaths) {
  rixtest::ScratchDir d;
  const QString t = d.path() + "RixFront-me/";
  EXPECT_TRUE(EnsurePrivateTempDir(t));
  struct stat st {};
  ::stat(QFile::encodeName(t).constData(), &st);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_TRUE(EnsurePrivateTempDir(t));
  // A symbolic link planted in its place is not used.
  ASSERT_TRUE(QFile::link(d.path(), d.path() + "link"));
  EXPECT_FALSE(EnsurePrivateTempDir(d.path() + "link/"));
  EXPECT_TRUE(PrivateTempDirPath().contains(QStringLiteral("/RixFront-")));
  EXPECT_TRUE(PrivateTempDirPath().endsWith(u'/'));
}

TEST(TempDirectory, LeftoversOfAnEarlierRunAreSwept) {
  rixtest::ScratchDir d;
  const QString t = d.path() + "RixFront-sweep/";
  ASSERT_TRUE(EnsurePrivateTempDir(t));
  ASSERT_TRUE(rixtest::WriteAll(t + "game.rom", "x"));
  ASSERT_TRUE(rixtest::WriteAll(t + "castle/level/1.dat", "x"));
  ASSERT_TRUE(rixtest::WriteAll(d.path() + "outside.txt", "keep"));
  ASSERT_TRUE(QFile::link(d.path() + "outside.txt", t + "link"));
  EXPECT_TRUE(SweepPrivateTempDir(t));
  EXPECT_EQ(QDir(t).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList{".lock"});
  EXPECT_EQ(rixtest::ReadAll(d.path() + "outside.txt"), "keep");  // links are removed, not followed
}

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>

#include "TestSupport.h"
#include "platform/AppDirectory.h"
#include "platform/Big5.h"
#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "platform/TempDirectory.h"
#include "platform/UnpackArea.h"

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

  // What is not a file is a bad name, said at once: a FIFO without a writer, and devices
  // that never end.
  ASSERT_EQ(::mkfifo(QFile::encodeName(d.file("fifo.ini")).constData(), 0600), 0);
  ASSERT_TRUE(QFile::link("/dev/zero", d.file("zero.ini")));
  for (const char* name : {"fifo.ini", "zero.ini"}) {
    QString text;
    const qint64 grew = rixtest::PeakMemoryGrowth([&] { text = ReadError(d.file(name)); });
    EXPECT_EQ(text, QStringLiteral("不正確檔案名稱")) << name;
    EXPECT_LT(grew, 16 << 20);
  }
  EXPECT_EQ(ReadError("/dev/urandom"), QStringLiteral("不正確檔案名稱"));
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

TEST(FileOps, SavesThroughLinksKeepTheLinks) {
  rixtest::ScratchDir d;
  ASSERT_TRUE(rixtest::WriteAll(d.file("real/t.ini"), "old"));
  // A relative link to a link, from another directory.
  ASSERT_TRUE(QDir().mkpath(d.file("links")));
  ASSERT_EQ(::symlink("../real/t.ini", QFile::encodeName(d.file("links/first.ini")).constData()),
            0);
  ASSERT_EQ(::symlink("first.ini", QFile::encodeName(d.file("links/t.ini")).constData()), 0);
  WriteFileAtomic(d.file("links/t.ini"), "through the link");
  EXPECT_TRUE(QFileInfo(d.file("links/t.ini")).isSymLink());
  EXPECT_TRUE(QFileInfo(d.file("links/first.ini")).isSymLink());
  EXPECT_EQ(rixtest::ReadAll(d.file("real/t.ini")), "through the link");
  EXPECT_EQ(QDir(d.file("real")).entryList(QDir::Files | QDir::Hidden).size(), 1);
  // A dangling link gets the file it names.
  ASSERT_EQ(::symlink("made.ini", QFile::encodeName(d.file("real/dangling.ini")).constData()), 0);
  WriteFileAtomic(d.file("real/dangling.ini"), "new");
  EXPECT_TRUE(QFileInfo(d.file("real/dangling.ini")).isSymLink());
  EXPECT_EQ(rixtest::ReadAll(d.file("real/made.ini")), "new");
  // A loop is an error, not a replaced link.
  ASSERT_EQ(::symlink("loop.ini", QFile::encodeName(d.file("loop.ini")).constData()), 0);
  EXPECT_THROW(WriteFileAtomic(d.file("loop.ini"), "x"), FileError);
  EXPECT_TRUE(QFileInfo(d.file("loop.ini")).isSymLink());

  // Every hard-linked name sees the new content, longer or shorter, and stays one file.
  ASSERT_TRUE(rixtest::WriteAll(d.file("h1.ini"), "old content"));
  ASSERT_EQ(::link(QFile::encodeName(d.file("h1.ini")).constData(),
                   QFile::encodeName(d.file("h2.ini")).constData()),
            0);
  for (const QByteArray& bytes : {QByteArray(300000, 'L'), QByteArray("short")}) {
    WriteFileAtomic(d.file("h2.ini"), bytes);
    EXPECT_EQ(rixtest::ReadAll(d.file("h1.ini")), bytes);
    EXPECT_EQ(rixtest::ReadAll(d.file("h2.ini")), bytes);
  }
  struct stat a {
  }, b{};
  ::stat(QFile::encodeName(d.file("h1.ini")).constData(), &a);
  ::stat(QFile::encodeName(d.file("h2.ini")).constData(), &b);
  EXPECT_EQ(a.st_ino, b.st_ino);
  EXPECT_EQ(a.st_nlink, 2u);
  EXPECT_EQ(QDir(d.path()).entryList(QDir::Files | QDir::Hidden | QDir::System),
            QStringList({"h1.ini", "h2.ini", "loop.ini"}));  // no temporary copy left
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
  const QByteArray kHeader = "a,b\r\n";
  rixtest::ScratchDir d;
  EXPECT_EQ(
      ChooseAppDirectory({d.path() + "cat"}, d.path() + "exe", d.path() + "data", kHeader).dir,
      d.path() + "cat/");
  ASSERT_TRUE(rixtest::WriteAll(d.file("exe/RixFront.ini"), "x"));
  EXPECT_EQ(ChooseAppDirectory({}, d.path() + "exe", d.path() + "data", kHeader).dir,
            d.path() + "exe/");
  QFile::remove(d.file("exe/RixFront.ini"));
  const AppDirectoryChoice c = ChooseAppDirectory({}, d.path() + "exe", d.path() + "data", kHeader);
  EXPECT_EQ(c.dir, d.path() + "data/");
  EXPECT_TRUE(c.createdFirstStartFiles);
  EXPECT_EQ(rixtest::ReadAll(d.file("data/RixFront.ini")), kHeader);
  EXPECT_TRUE(FileExists(d.file("data/EmuTree.ini")));
  // A second start keeps what the user has.
  ASSERT_TRUE(rixtest::WriteAll(d.file("data/RixFront.ini"), "mine"));
  EXPECT_FALSE(
      ChooseAppDirectory({}, d.path() + "exe", d.path() + "data", kHeader).createdFirstStartFiles);
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
  ::chmod(QFile::encodeName(t + "castle/level").constData(), 0555);  // as read-only media copy
  ASSERT_TRUE(rixtest::WriteAll(d.path() + "outside.txt", "keep"));
  ASSERT_TRUE(QFile::link(d.path() + "outside.txt", t + "link"));
  ASSERT_TRUE(QDir().mkpath(d.path() + "outdir"));
  ASSERT_TRUE(rixtest::WriteAll(d.path() + "outdir/kept.txt", "keep"));
  ASSERT_TRUE(QFile::link(d.path() + "outdir", t + "castle/dirlink"));
  // A tree far deeper than a path may be long.
  int fd = ::open(QFile::encodeName(t).constData(), O_RDONLY | O_DIRECTORY);
  for (int i = 0; i < 2100 && fd >= 0; ++i) {
    ::mkdirat(fd, "dd", 0700);
    if (i % 500 == 0) ::close(::openat(fd, "f", O_WRONLY | O_CREAT, 0600));
    const int next = ::openat(fd, "dd", O_RDONLY | O_DIRECTORY);
    ::close(fd);
    fd = next;
  }
  ASSERT_GE(fd, 0);
  ::close(fd);
  UnpackArea::Sweep(t);
  EXPECT_EQ(QDir(t).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
            QStringList());
  // Links are removed, not followed.
  EXPECT_EQ(rixtest::ReadAll(d.path() + "outside.txt"), "keep");
  EXPECT_EQ(rixtest::ReadAll(d.path() + "outdir/kept.txt"), "keep");
}

// Damaged and hostile archives: nothing may land outside the target directory, no file may
// appear half written, and the result must say what happened.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <zlib.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QtEndian>
#include <atomic>
#include <thread>

#include "TestSupport.h"
#include "ZipTestArchive.h"
#include "games/ZipReader.h"
#include "platform/DirectoryTree.h"

namespace {

using namespace rix;
using rixtest::BuildZip;
using rixtest::Entry;
using rixtest::FileTree;
using rixtest::PeakMemoryGrowth;
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

// "p/p/.../p/" nested `depth` times.
QByteArray Nested(char part, int depth) {
  QByteArray name;
  for (int i = 0; i < depth; ++i) name.append(part).append('/');
  return name;
}

TEST(ZipHostile, FoldersDeeperThanAPathMayBeAreRefusedQuickly) {
  // As in the trials: one entry of 30,000 nested folders, and three chains of 32,000.
  const QList<QList<ZipTestEntry>> archives = {
      {Entry(Nested('d', 30000), "")},
      {Entry(Nested('a', 32000), ""), Entry(Nested('b', 32000), ""), Entry(Nested('c', 32000), "")},
      {Entry("first.rom", "1"), Entry(Nested('e', 2500) + "deep.rom", "x")},
  };
  for (const QList<ZipTestEntry>& entries : archives) {
    Case c;
    QElapsedTimer t;
    t.start();
    int result = 0;
    const qint64 grew = PeakMemoryGrowth([&] { result = c.Run(BuildZip(entries)); });
    EXPECT_EQ(result, kZipRefused);
    EXPECT_LT(t.elapsed(), 2000);
    EXPECT_LT(grew, 64 << 20);
    EXPECT_EQ(FileTree(c.out()), QStringList());  // nothing of a refused archive is written
  }
}

TEST(ZipHostile, DeepFoldersWithinTheLimitUnpackInLinearTime) {
  // Every level an entry of its own, then a file at the bottom.
  QList<ZipTestEntry> entries;
  for (int depth = 1; depth <= 1000; ++depth) entries << Entry(Nested('d', depth), "");
  entries << Entry(Nested('d', 1000) + "x.rom", "bottom");
  Case c;
  QElapsedTimer t;
  t.start();
  int result = 0;
  const qint64 grew = PeakMemoryGrowth([&] { result = c.Run(BuildZip(entries)); });
  EXPECT_EQ(result, 1001);
  EXPECT_LT(t.elapsed(), 5000);
  EXPECT_LT(grew, 64 << 20);
  EXPECT_EQ(ReadAll(c.out() + Nested('d', 1000) + "x.rom"), "bottom");
  EXPECT_TRUE(RemoveTreeBelow(c.dir.path(), "out"));  // faster than the scratch directory's way
}

// Six central entries sharing one local record, as in the trials, or one entry whose data
// holds the next entry's record.
TEST(ZipHostile, EntriesSharingDataAreRefusedAsABomb) {
  const ZipTestArchive one = BuildZip({Entry("b0.rom", QByteArray(1 << 20, '\0'), 8)});
  const QByteArray local = one.bytes.left(one.central[0]);
  const QByteArray header = one.bytes.mid(one.central[0], one.end - one.central[0]);
  ZipTestArchive shared;
  shared.bytes = local;
  for (char i = '0'; i < '6'; ++i) {
    QByteArray h = header;
    h[46 + 1] = i;  // b0.rom ... b5.rom
    shared.bytes += h;
  }
  shared.end = static_cast<int>(shared.bytes.size());
  shared.bytes += one.bytes.mid(one.end);
  shared.Put16(shared.end + 8, 6);
  shared.Put16(shared.end + 10, 6);
  shared.Put32(shared.end + 12, static_cast<uint32_t>(header.size() * 6));

  ZipTestArchive quoted = BuildZip({Entry("a.rom", "x"), Entry("b.rom", "y")});
  quoted.Put32(quoted.local[0] + 18, 40);  // a.rom's data now runs over b.rom's record
  quoted.Put32(quoted.local[0] + 22, 40);
  quoted.Put32(quoted.central[0] + 20, 40);
  quoted.Put32(quoted.central[0] + 24, 40);

  for (const ZipTestArchive* zip : {&shared, &quoted}) {
    Case c;
    EXPECT_EQ(c.Run(*zip), kZipRefused);
    EXPECT_EQ(FileTree(c.out()), QStringList());
  }
}

// A Zip64 archive of one deflated entry declaring `size` bytes, its packed data a hole of a
// thousandth of that (as much as deflate could need), so that it costs no disk.
bool WriteSparseZip64(const QString& path, uint64_t size) {
  const uint64_t packed = size / 1000;
  const QByteArray name = "huge.iso";
  auto add16 = [](QByteArray& b, uint16_t v) { b.append(reinterpret_cast<const char*>(&v), 2); };
  auto add32 = [](QByteArray& b, uint32_t v) { b.append(reinterpret_cast<const char*>(&v), 4); };
  auto add64 = [](QByteArray& b, uint64_t v) { b.append(reinterpret_cast<const char*>(&v), 8); };
  QByteArray head;
  add32(head, 0x04034b50);
  for (uint16_t v : {45, 0, 8, 0, 0}) add16(head, v);
  for (uint32_t v : {0u, 0xFFFFFFFFu, 0xFFFFFFFFu}) add32(head, v);
  add16(head, static_cast<uint16_t>(name.size()));
  add16(head, 20);
  head += name;
  add16(head, 1);
  add16(head, 16);
  add64(head, size);
  add64(head, packed);
  const uint64_t central = head.size() + packed;
  QByteArray tail;
  add32(tail, 0x02014b50);
  for (uint16_t v : {45, 45, 0, 8, 0, 0}) add16(tail, v);
  for (uint32_t v : {0u, 0xFFFFFFFFu, 0xFFFFFFFFu}) add32(tail, v);
  add16(tail, static_cast<uint16_t>(name.size()));
  add16(tail, 28);
  for (int i = 0; i < 3; ++i) add16(tail, 0);
  add32(tail, 0);
  add32(tail, 0xFFFFFFFF);
  tail += name;
  add16(tail, 1);
  add16(tail, 24);
  add64(tail, size);
  add64(tail, packed);
  add64(tail, 0);
  const uint64_t centralSize = tail.size();
  const uint64_t end64 = central + centralSize;
  add32(tail, 0x06064b50);
  add64(tail, 44);
  add16(tail, 45);
  add16(tail, 45);
  add32(tail, 0);
  add32(tail, 0);
  add64(tail, 1);
  add64(tail, 1);
  add64(tail, centralSize);
  add64(tail, central);
  add32(tail, 0x07064b50);
  add32(tail, 0);
  add64(tail, end64);
  add32(tail, 1);
  add32(tail, 0x06054b50);
  for (uint16_t v : {0, 0, 0xFFFF, 0xFFFF}) add16(tail, v);
  add32(tail, 0xFFFFFFFF);
  add32(tail, 0xFFFFFFFF);
  add16(tail, 0);
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(head) == head.size() &&
         f.seek(static_cast<qint64>(central)) && f.write(tail) == tail.size();
}

TEST(ZipHostile, MoreThanTheFreeSpaceIsRefusedBeforeWriting) {
  ScratchDir dir;
  struct statvfs fs;
  ASSERT_EQ(::statvfs(QFile::encodeName(dir.path()).constData(), &fs), 0);
  const uint64_t free = uint64_t(fs.f_bavail) * fs.f_frsize;
  ASSERT_TRUE(WriteSparseZip64(dir.file("huge.zip"), free + (uint64_t(1) << 30)));
  QElapsedTimer t;
  t.start();
  EXPECT_EQ(ZipExtractMatching(dir.file("huge.zip"), dir.file("out/"), "*.*"), kZipRefused);
  EXPECT_LT(t.elapsed(), 2000);
  EXPECT_EQ(FileTree(dir.file("out/")), QStringList());
}

TEST(ZipHostile, LargeEntriesStreamThroughBoundedMemory) {
  // 96 MB of text, deflated and stored, through buffers a fraction of that. The deflate
  // stream repeats one fully flushed piece, which needs no history, so it is quick to make.
  const QByteArray piece = Pattern(1 << 20);
  const QByteArray big = piece.repeated(96);
  z_stream zs = {};
  ASSERT_EQ(deflateInit2(&zs, 6, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY), Z_OK);
  QByteArray flushed(static_cast<qsizetype>(deflateBound(&zs, piece.size())) + 64, '\0');
  zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(piece.constData()));
  zs.avail_in = static_cast<uInt>(piece.size());
  zs.next_out = reinterpret_cast<Bytef*>(flushed.data());
  zs.avail_out = static_cast<uInt>(flushed.size());
  ASSERT_EQ(deflate(&zs, Z_FULL_FLUSH), Z_OK);
  flushed.truncate(flushed.size() - zs.avail_out);
  deflateEnd(&zs);
  ZipTestEntry deflated = Entry("big.bin", big, 8);
  deflated.packed = flushed.repeated(96) + QByteArray("\x03\x00", 2);  // an empty final block

  for (const ZipTestEntry& entry : {deflated, Entry("big.bin", big, 0)}) {
    SCOPED_TRACE(entry.method);
    Case c;
    const ZipTestArchive zip = BuildZip({entry});
    int result = 0;
    const qint64 grew = PeakMemoryGrowth([&] { result = c.Run(zip); });
    EXPECT_EQ(result, 1);
    EXPECT_LT(grew, 16 << 20);
    EXPECT_TRUE(ReadAll(c.out() + "big.bin") == big);
    // A damaged stream, or a disk that fills up part way, leaves nothing, whatever has been
    // written so far.
    ZipTestArchive damaged = zip;
    damaged.bytes[damaged.local[0] + 30 + 7 + 50 * flushed.size()] ^= 0x55;
    QFile::remove(c.out() + "big.bin");
    EXPECT_EQ(c.Run(damaged), 0);
    EXPECT_EQ(FileTree(c.out()), QStringList());
    ASSERT_TRUE(WriteAll(c.dir.file("a.zip"), zip.bytes));
    rixtest::WithFileSizeLimit(
        10 << 20, [&] { EXPECT_EQ(ZipExtractMatching(c.dir.file("a.zip"), c.out(), "*.*"), 0); });
    EXPECT_EQ(FileTree(c.out()), QStringList());
  }
}

TEST(ZipHostile, AnArchiveShrinkingWhileItIsReadFailsCleanly) {
  // A large stored entry; a watcher cuts the archive short as soon as the output has begun.
  Case c;
  const QString archive = c.dir.file("a.zip");
  const qint64 size = qint64(256) << 20;
  {
    const ZipTestArchive zip = BuildZip({Entry("disc.iso", QByteArray(), 0)});
    // The same archive with `size` zero bytes as the entry's data, written sparse.
    QByteArray head = zip.bytes.left(zip.central[0]);
    QByteArray tail = zip.bytes.mid(zip.central[0]);
    const uint32_t crc = 0;  // not checked: the reading fails first
    auto put32 = [](QByteArray& b, int at, uint32_t v) { qToLittleEndian(v, b.data() + at); };
    put32(head, 14, crc);
    put32(head, 18, static_cast<uint32_t>(size));
    put32(head, 22, static_cast<uint32_t>(size));
    put32(tail, 16, crc);
    put32(tail, 20, static_cast<uint32_t>(size));
    put32(tail, 24, static_cast<uint32_t>(size));
    put32(tail, zip.end - zip.central[0] + 16, static_cast<uint32_t>(head.size() + size));
    QFile f(archive);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly) && f.write(head) == head.size() &&
                f.seek(head.size() + size) && f.write(tail) == tail.size());
  }
  std::atomic<bool> done{false};
  std::atomic<bool> cut{false};
  std::thread watcher([&] {
    while (!done) {
      const QStringList now = QDir(c.out()).entryList(QDir::Files | QDir::Hidden);
      if (!now.isEmpty() && QFileInfo(c.out() + now.first()).size() > 0) {
        cut = ::truncate(QFile::encodeName(archive).constData(), size / 2) == 0;
        return;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
  });
  const int result = ZipExtractMatching(archive, c.out(), "*.*");
  done = true;
  watcher.join();
  ASSERT_TRUE(cut) << "the unpacking ended before the archive could be cut";
  EXPECT_EQ(result, 0);
  EXPECT_EQ(FileTree(c.out()), QStringList());  // the partial output is gone
}

}  // namespace

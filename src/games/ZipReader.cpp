#include "games/ZipReader.h"

#include <sys/statvfs.h>

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "games/ZipArchive.h"
#include "games/ZipEntryName.h"
#include "games/ZipExtractor.h"
#include "games/ZipFile.h"
#include "games/ZipTargetDir.h"
#include "platform/Big5.h"
#include "platform/ByteText.h"

namespace rix {

namespace {

constexpr uint16_t kFlagEncrypted = 1 << 0;
constexpr qsizetype kMaxFirstName = 259;
// More files, or more directories, than any game's archive holds; it bounds the memory of the
// walk.
constexpr size_t kMaxItems = size_t(1) << 18;

uint64_t AddCapped(uint64_t a, uint64_t b) { return a > UINT64_MAX - b ? UINT64_MAX : a + b; }

// What one call unpacks, decided from the central directory and the local headers before
// anything is written.
struct Plan {
  std::vector<ZipPlannedEntry> entries;
  int end = 0;  // once they are unpacked: 0 for their count, or a negative ZipExtractError
  bool refused = false;
};

// A stored name as the masks see it: read as its entry says, "/" taken as "\\".
QString MaskName(const ZipEntryName::Bytes& stored) {
  QString text = stored.utf8 ? QString::fromUtf8(stored.name) : Big5Decode(stored.name);
  return text.replace(u'/', u'\\');
}

Plan MakePlan(ZipArchive& zip, const QString& mask, ZipTargetDir& target) {
  Plan plan;
  const bool everything = mask.isEmpty() || mask == QLatin1String("*.*");
  for (uint64_t i = 0; i < zip.entryCount(); ++i) {
    ZipCentralEntry central;
    if (!zip.Next(&central)) {
      plan.end = kZipBadDirectory;
      break;
    }
    const ZipEntryName::Bytes stored = ZipEntryName::Choose(central);
    if (!everything && !ZipMaskMatchesText(mask, MaskName(stored))) continue;
    // From here on, an entry that cannot be unpacked ends the walk. A stored name as long as
    // a path may be can only fit by "." components no archiver writes; refused before it is
    // taken apart.
    if (stored.name.size() >= PATH_MAX) {
      plan.refused = true;
      break;
    }
    const ZipEntryName name(stored.name, stored.utf8);
    if (!name.isSafe()) break;
    const QStringList& parts = name.parts();
    ZipPlannedEntry e;
    e.node = target.Node(parts, name.isDirectory() ? parts.size() : parts.size() - 1);
    if (!name.isDirectory()) e.leaf = QFile::encodeName(parts.back());
    if (e.node < 0 || (!e.leaf.isEmpty() && !target.Fits(e.node, e.leaf))) {
      plan.refused = true;
      break;
    }
    const ZipArchive::LocalStatus local = zip.Local(central, &e.local);
    if (local != ZipArchive::LocalStatus::Ok) {
      plan.end =
          local == ZipArchive::LocalStatus::BadHeader ? kZipBadLocalHeader : kZipDataOutOfRange;
      break;
    }
    if ((central.flags | e.local.flags) & kFlagEncrypted) break;
    if (!e.leaf.isEmpty() && !ZipExtractor::CanDecode(e.local)) break;
    plan.entries.push_back(std::move(e));
    if (plan.entries.size() > kMaxItems || size_t(target.nodeCount()) > kMaxItems) {
      plan.refused = true;
      break;
    }
  }
  return plan;
}

// Entries whose records overlap share their data: a few kilobytes then unpack to any size.
bool Overlapping(const std::vector<ZipPlannedEntry>& entries) {
  std::vector<std::pair<uint64_t, uint64_t>> spans;
  spans.reserve(entries.size());
  for (const ZipPlannedEntry& e : entries)
    spans.emplace_back(e.local.headerOffset, e.local.dataOffset + e.local.compressedSize);
  std::sort(spans.begin(), spans.end());
  for (size_t i = 1; i < spans.size(); ++i)
    if (spans[i].first < spans[i - 1].second) return true;
  return false;
}

// Whether what the plan declares fits the free space and inodes of the target's file
// system, with a margin left over. A file system that cannot be asked is not held against
// the archive: a full disk still fails the write.
bool FitsFreeSpace(QString dir, const std::vector<ZipPlannedEntry>& entries, qsizetype dirs) {
  struct statvfs fs;
  // The target may not exist yet: ask for its nearest existing ancestor.
  while (::statvfs(QFile::encodeName(dir).constData(), &fs) != 0) {
    const QString up = QFileInfo(dir).path();
    if (errno != ENOENT || up == dir) return true;
    dir = up;
  }
  const uint64_t block = std::max<uint64_t>(fs.f_frsize ? fs.f_frsize : fs.f_bsize, 512);
  uint64_t need = uint64_t(dirs) * block;
  uint64_t files = 0;
  for (const ZipPlannedEntry& e : entries) {
    if (e.leaf.isEmpty()) continue;
    ++files;
    const uint64_t size = e.local.uncompressedSize;
    need = AddCapped(need, AddCapped(size, block - 1) / block * block);
  }
  const uint64_t avail = uint64_t(fs.f_bavail) * block;
  const uint64_t margin =
      std::min<uint64_t>(uint64_t(64) << 20, uint64_t(fs.f_blocks) * block / 20);
  if (need > 0 && (need > avail || avail - need < margin)) return false;
  return fs.f_files == 0 || files + uint64_t(dirs) <= uint64_t(fs.f_favail);
}

}  // namespace

QByteArray ZipFirstEntryName(const QString& archive) {
  if (archive.isEmpty()) return {};
  ZipFile file(archive);
  if (file.status() != ZipFile::Status::Ok) return {};
  ZipArchive zip(file);
  ZipCentralEntry first;
  if (!zip.Open() || zip.entryCount() == 0 || !zip.Next(&first)) return {};
  return ZipEntryName::WithBackslashes(first.name.first(qMin(first.name.size(), kMaxFirstName)));
}

QStringList ZipEntryTexts(const QString& archive) {
  QStringList names;
  if (archive.isEmpty()) return names;
  ZipFile file(archive);
  if (file.status() != ZipFile::Status::Ok) return names;
  ZipArchive zip(file);
  if (!zip.Open()) return names;
  ZipCentralEntry entry;
  for (uint64_t i = 0; i < zip.entryCount() && i < kMaxItems && zip.Next(&entry); ++i)
    names << ZipEntryName(entry).text();
  return names;
}

int ZipExtractMatching(const QString& archive, const QString& targetDir, const QByteArray& mask,
                       QStringList* touched) {
  return ZipUnpackMatching(archive, targetDir, Big5Decode(mask), touched);
}

int ZipUnpackMatching(const QString& archive, const QString& targetDir, const QString& mask,
                      QStringList* touched) {
  if (touched) touched->clear();
  if (archive.isEmpty() || targetDir.isEmpty()) return kZipNoPath;
  if (!archive.contains(QLatin1Char('.')) || archive.contains(QLatin1String(".exe")))
    return kZipNotArchiveName;
  ZipFile file(archive);
  switch (file.status()) {
    case ZipFile::Status::Ok:
      break;
    case ZipFile::Status::Directory:
      return kZipIsDirectory;
    default:
      return kZipCannotRead;
  }
  static const uint8_t kLocalSignature[4] = {0x50, 0x4B, 0x03, 0x04};
  uint8_t head[4];
  if (!file.Read(0, head, 4) || std::memcmp(head, kLocalSignature, 4) != 0) return kZipNotZip;
  ZipArchive zip(file);
  if (!zip.Open()) return kZipBadDirectory;

  QString target = targetDir;
  if (!target.endsWith(QLatin1Char('/'))) target += QLatin1Char('/');
  ZipTargetDir out(target);
  const Plan plan = MakePlan(zip, mask, out);
  if (plan.refused || Overlapping(plan.entries) ||
      !FitsFreeSpace(target, plan.entries, out.nodeCount()))
    return kZipRefused;

  ZipExtractor extractor(file, out);
  int unpacked = 0;
  for (const ZipPlannedEntry& e : plan.entries) {
    if (!extractor.Unpack(e)) break;
    ++unpacked;
  }
  if (touched) *touched = out.touched();
  if (size_t(unpacked) < plan.entries.size()) return unpacked;
  return plan.end < 0 ? plan.end : unpacked;
}

bool ZipNameIsSafe(const QByteArray& storedName) {
  return ZipEntryName(storedName, false).isSafe();
}

bool ZipMaskMatchesText(const QString& mask, const QString& nameWithBackslashes) {
  if (mask.isEmpty() || mask == QLatin1String("*.*")) return true;
  auto lower = [](QString t) {
    for (QChar& c : t)
      if (c >= u'A' && c <= u'Z') c = QChar(c.unicode() + 32);
    return t;
  };
  const QString m = lower(mask);
  const QString name = lower(nameWithBackslashes);
  const qsizetype dot = name.indexOf(u'.');
  if (m.startsWith(QLatin1String("*.")))
    return dot >= 0 && QStringView(name).sliced(dot + 1) == QStringView(m).sliced(2);
  if (m.endsWith(u'*')) {
    QStringView stem(m);
    if (stem.endsWith(QLatin1String(".*"))) stem.chop(2);
    if (stem.endsWith(u'*') || stem.endsWith(u'?')) stem.chop(1);
    const QStringView base = dot < 0 ? QStringView(name) : QStringView(name).first(dot);
    return base.startsWith(stem);
  }
  return name == m;
}

bool ZipMaskMatches(const QByteArray& mask, const QByteArray& storedNameWithBackslashes) {
  if (mask.isEmpty() || mask == "*.*") return true;
  const QByteArray m = LowerAscii(mask);
  const QByteArray name = LowerAscii(storedNameWithBackslashes);
  // "." is never the second byte of a Big5 character, so byte searches find the real one.
  const qsizetype dot = name.indexOf('.');
  if (m.startsWith("*.")) {
    const QByteArrayView ext = dot < 0 ? QByteArrayView() : QByteArrayView(name).sliced(dot + 1);
    return ext == QByteArrayView(m).sliced(2);
  }
  if (m.endsWith('*')) {
    QByteArrayView stem(m);
    if (stem.endsWith(".*")) stem.chop(2);
    if (stem.endsWith('*') || stem.endsWith('?')) stem.chop(1);
    const QByteArrayView base = dot < 0 ? QByteArrayView(name) : QByteArrayView(name).first(dot);
    return base.startsWith(stem);
  }
  return name == m;
}

}  // namespace rix

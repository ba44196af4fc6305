#include "ZipTestArchive.h"

#include <libdeflate.h>

#include <QDir>
#include <QFileInfo>
#include <QtEndian>
#include <functional>

namespace rixtest {

namespace {

void Add16(QByteArray& b, uint16_t v) {
  char le[2];
  qToLittleEndian(v, le);
  b.append(le, 2);
}

void Add32(QByteArray& b, uint32_t v) {
  char le[4];
  qToLittleEndian(v, le);
  b.append(le, 4);
}

QByteArray Deflate(const QByteArray& data) {
  libdeflate_compressor* c = libdeflate_alloc_compressor(6);
  QByteArray out(static_cast<qsizetype>(libdeflate_deflate_compress_bound(c, data.size())), 0);
  out.resize(static_cast<qsizetype>(
      libdeflate_deflate_compress(c, data.constData(), data.size(), out.data(), out.size())));
  libdeflate_free_compressor(c);
  return out;
}

}  // namespace

void ZipTestArchive::Put16(int at, uint16_t v) { qToLittleEndian(v, bytes.data() + at); }
void ZipTestArchive::Put32(int at, uint32_t v) { qToLittleEndian(v, bytes.data() + at); }

ZipTestArchive BuildZip(const QList<ZipTestEntry>& entries, const QByteArray& comment) {
  ZipTestArchive z;
  QByteArray central;
  QList<int> centralAt;
  for (const ZipTestEntry& e : entries) {
    const QByteArray packed = !e.packed.isEmpty() ? e.packed
                              : e.method == 8     ? Deflate(e.data)
                                                  : e.data;
    const uint32_t crc = libdeflate_crc32(0, e.data.constData(), e.data.size());
    const bool desc = e.descriptor != ZipTestEntry::Descriptor::None;
    const uint16_t flags = e.flags | (desc ? 8 : 0);
    z.local.append(static_cast<int>(z.bytes.size()));
    const int offset = static_cast<int>(z.bytes.size());
    Add32(z.bytes, 0x04034b50);
    Add16(z.bytes, 20);
    Add16(z.bytes, flags);
    Add16(z.bytes, e.method);
    Add16(z.bytes, e.dosTime);
    Add16(z.bytes, e.dosDate);
    Add32(z.bytes, desc ? 0 : crc);
    Add32(z.bytes, desc ? 0 : static_cast<uint32_t>(packed.size()));
    Add32(z.bytes, desc ? 0 : static_cast<uint32_t>(e.data.size()));
    Add16(z.bytes, static_cast<uint16_t>(e.name.size()));
    Add16(z.bytes, 0);
    z.bytes += e.name + packed;
    if (e.descriptor == ZipTestEntry::Descriptor::WithSignature) Add32(z.bytes, 0x08074b50);
    if (desc) {
      Add32(z.bytes, crc);
      Add32(z.bytes, static_cast<uint32_t>(packed.size()));
      Add32(z.bytes, static_cast<uint32_t>(e.data.size()));
    }
    centralAt.append(static_cast<int>(central.size()));
    Add32(central, 0x02014b50);
    Add16(central, e.madeBy);
    Add16(central, 20);
    Add16(central, flags);
    Add16(central, e.method);
    Add16(central, e.dosTime);
    Add16(central, e.dosDate);
    Add32(central, crc);
    Add32(central, static_cast<uint32_t>(packed.size()));
    Add32(central, static_cast<uint32_t>(e.data.size()));
    Add16(central, static_cast<uint16_t>(e.name.size()));
    Add16(central, static_cast<uint16_t>(e.centralExtra.size()));
    for (int i = 0; i < 3; ++i) Add16(central, 0);
    Add32(central, 0);
    Add32(central, static_cast<uint32_t>(offset));
    central += e.name + e.centralExtra;
  }
  const int centralStart = static_cast<int>(z.bytes.size());
  for (int at : centralAt) z.central.append(centralStart + at);
  z.bytes += central;
  z.end = static_cast<int>(z.bytes.size());
  Add32(z.bytes, 0x06054b50);
  Add16(z.bytes, 0);
  Add16(z.bytes, 0);
  Add16(z.bytes, static_cast<uint16_t>(entries.size()));
  Add16(z.bytes, static_cast<uint16_t>(entries.size()));
  Add32(z.bytes, static_cast<uint32_t>(central.size()));
  Add32(z.bytes, static_cast<uint32_t>(centralStart));
  Add16(z.bytes, static_cast<uint16_t>(comment.size()));
  z.bytes += comment;
  return z;
}

ZipTestEntry Entry(const QByteArray& name, const QByteArray& data, uint16_t method) {
  ZipTestEntry e;
  e.name = name;
  e.data = data;
  e.method = method;
  return e;
}

QStringList FileTree(const QString& dir) {
  QStringList out;
  const QDir base(dir);
  std::function<void(const QString&)> walk = [&](const QString& path) {
    for (const QFileInfo& fi : QDir(path).entryInfoList(QDir::AllEntries | QDir::Hidden |
                                                        QDir::System | QDir::NoDotAndDotDot)) {
      const bool dir = fi.isDir() && !fi.isSymLink();
      out << base.relativeFilePath(fi.filePath()) + (dir ? "/" : "");
      if (dir) walk(fi.filePath());
    }
  };
  walk(dir);
  out.sort();
  return out;
}

}  // namespace rixtest

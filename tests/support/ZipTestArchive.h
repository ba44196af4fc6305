#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>
#include <cstdint>

namespace rixtest {

// One entry of an archive built in a test.
struct ZipTestEntry {
  enum class Descriptor { None, WithSignature, Plain };

  QByteArray name;
  QByteArray data;
  uint16_t method = 0;  // 0 stored, 8 deflated; any other number is written as stored bytes
  QByteArray packed;    // when not empty, the bytes stored for `data` (deflated ones for 8)
  uint16_t flags = 0;
  uint16_t dosTime = (12 << 11) | (34 << 5) | (56 / 2);    // 12:34:56
  uint16_t dosDate = ((2003 - 1980) << 9) | (4 << 5) | 5;  // 2003-04-05
  Descriptor descriptor = Descriptor::None;
  uint16_t madeBy = 20;     // the high byte names the host: 0 DOS, 3 Unix
  QByteArray centralExtra;  // the central header's extra field
};

// A built archive and where its records start, for tests that damage them.
struct ZipTestArchive {
  QByteArray bytes;
  QList<int> local;    // local header of each entry
  QList<int> central;  // central header of each entry
  int end = 0;         // end-of-central-directory record

  void Put16(int at, uint16_t v);
  void Put32(int at, uint32_t v);
};

ZipTestArchive BuildZip(const QList<ZipTestEntry>& entries, const QByteArray& comment = {});

ZipTestEntry Entry(const QByteArray& name, const QByteArray& data, uint16_t method = 0);

// Everything below `dir` (hidden files and links included), relative, directories ending in
// "/", sorted.
QStringList FileTree(const QString& dir);

}  // namespace rixtest

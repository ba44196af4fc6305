#include "games/ZipEntryName.h"

#include <QStringDecoder>

#include "platform/Big5.h"

namespace rix {

namespace {

inline bool IsLeadByte(char c, bool utf8) {
  const auto u = static_cast<unsigned char>(c);
  return !utf8 && u >= 0x81 && u <= 0xFE;
}

constexpr uint16_t kFlagUtf8 = 1 << 11;
constexpr uint16_t kUnicodePathExtra = 0x7075;
constexpr int kUnixHost = 3;

uint32_t Crc32(QByteArrayView bytes) {
  uint32_t crc = 0xFFFFFFFFu;
  for (const char c : bytes) {
    crc ^= static_cast<unsigned char>(c);
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

uint16_t Get16(QByteArrayView b, qsizetype at) {
  return uint16_t(uint8_t(b[at]) | uint8_t(b[at + 1]) << 8);
}

bool IsUtf8(QByteArrayView bytes) {
  QStringDecoder dec(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
  const QString text = dec.decode(bytes);
  return !dec.hasError();
}

}  // namespace

ZipEntryName::Bytes ZipEntryName::Choose(const ZipCentralEntry& entry) {
  if (entry.flags & kFlagUtf8) return {entry.name, true};
  const QByteArrayView extra = entry.extra;
  for (qsizetype at = 0; at + 4 <= extra.size();) {
    const uint16_t tag = Get16(extra, at);
    const qsizetype size = Get16(extra, at + 2);
    if (at + 4 + size > extra.size()) break;
    // Version 1, the CRC-32 of the stored name, then the name in UTF-8.
    if (tag == kUnicodePathExtra && size >= 5 && extra[at + 4] == 1) {
      const QByteArrayView data = extra.sliced(at + 5, size - 1);
      const uint32_t crc = uint32_t(Get16(data, 0)) | uint32_t(Get16(data, 2)) << 16;
      if (crc == Crc32(entry.name) && data.size() > 4) return {data.sliced(4), true};
    }
    at += 4 + size;
  }
  if (entry.madeBy >> 8 == kUnixHost && IsUtf8(entry.name)) return {entry.name, true};
  return {entry.name, false};
}

ZipEntryName::ZipEntryName(const ZipCentralEntry& entry)
    : ZipEntryName(Choose(entry).name, Choose(entry).utf8) {}

QString ZipEntryName::text() const {
  if (!safe_) return {};
  QString out = parts_.join(u'/');
  if (directory_ && !out.isEmpty()) out += u'/';
  return out;
}

QByteArray ZipEntryName::WithBackslashes(QByteArrayView stored) {
  // "/" is never the second byte of a Big5 character, so a plain replacement is safe.
  QByteArray out = stored.toByteArray();
  out.replace('/', '\\');
  return out;
}

ZipEntryName::ZipEntryName(QByteArrayView stored, bool utf8) {
  const qsizetype n = stored.size();
  if (n == 0 || stored[0] == '/' || stored[0] == '\\' || (n >= 2 && stored[1] == ':') ||
      stored.contains('\0')) {
    safe_ = false;
    return;
  }
  QList<QByteArray> raw(1);
  for (qsizetype i = 0; i < n; ++i) {
    const char c = stored[i];
    if (IsLeadByte(c, utf8) && i + 1 < n) {
      raw.back().append(c).append(stored[++i]);
      directory_ = false;
    } else if (c == '/' || c == '\\') {
      raw.append(QByteArray());
      directory_ = true;
    } else {
      raw.back().append(c);
      directory_ = false;
    }
  }
  for (const QByteArray& part : raw) {
    if (part.isEmpty() || part == ".") continue;
    if (part == "..") {
      safe_ = false;
      return;
    }
    QString native;
    if (utf8) {
      QStringDecoder dec(QStringDecoder::Utf8);
      native = dec.decode(part);
    } else {
      native = Big5Decode(part);
    }
    // Decoding never yields these from valid bytes; refuse rather than trust a converter.
    if (native.contains(QLatin1Char('/')) || native.contains(QChar(0)) || native == "..") {
      safe_ = false;
      return;
    }
    parts_.append(native);
  }
  if (parts_.isEmpty() && !directory_) safe_ = false;
}

}  // namespace rix

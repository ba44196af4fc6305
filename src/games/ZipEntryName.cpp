#include "games/ZipEntryName.h"

#include <QStringDecoder>

#include "platform/Big5.h"

namespace rix {

namespace {

inline bool IsLeadByte(char c, bool utf8) {
  const auto u = static_cast<unsigned char>(c);
  return !utf8 && u >= 0x81 && u <= 0xFE;
}

}  // namespace

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

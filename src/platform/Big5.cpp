#include "platform/Big5.h"

#include <QStringDecoder>
#include <QStringEncoder>

namespace rix {

QString Big5Decode(QByteArrayView bytes) {
  if (bytes.isEmpty()) return {};
  // Pure ASCII is common in cells and needs no converter.
  bool ascii = true;
  for (char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      ascii = false;
      break;
    }
  }
  if (ascii) return QString::fromLatin1(bytes.data(), bytes.size());
  // Opening the converter costs more than most cells' decoding; a stateless
  // one carries nothing from one call to the next.
  thread_local QStringDecoder dec("Big5", QStringConverter::Flag::Stateless);
  return dec.decode(bytes);
}

QByteArray Big5Encode(QStringView text) {
  QByteArray out;
  out.reserve(text.size() * 2);
  // Encode character by character where needed so that every character
  // without a Big5 code becomes exactly one "?".
  qsizetype i = 0;
  while (i < text.size()) {
    const QChar c = text[i];
    if (c.unicode() < 0x80) {
      out.append(static_cast<char>(c.unicode()));
      ++i;
      continue;
    }
    const qsizetype len = (c.isHighSurrogate() && i + 1 < text.size()) ? 2 : 1;
    QStringEncoder one("Big5", QStringConverter::Flag::Stateless);
    QByteArray b = one.encode(text.sliced(i, len));
    if (one.hasError() || b.isEmpty() || (b.size() == 1 && static_cast<unsigned char>(b[0]) < 0x80))
      out.append('?');
    else
      out.append(b);
    i += len;
  }
  return out;
}

QByteArray Big5OfFileName(QByteArrayView name) {
  bool ascii = true;
  for (char c : name) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  if (ascii) return name.toByteArray();
  QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
  const QString text = utf8.decode(name);
  if (utf8.hasError()) return name.toByteArray();
  return Big5Encode(text);
}

QString Big5RoundTrip(const QString& name) { return Big5Decode(Big5Encode(name)); }

}  // namespace rix

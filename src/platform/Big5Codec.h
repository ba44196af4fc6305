#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace rix {

// Big5 for documents, where a load and a save must give back the very bytes
// that were read. Every byte string decodes to a text that encodes to the same
// bytes again:
// - a valid double-byte character becomes its Unicode character;
// - the few codes that share a character with another code (two box-drawing
//   sets, two numerals) become that character followed by VARIATION SELECTOR-1,
//   which shows nothing;
// - any other byte of 0x80 and above (a lone lead byte, a bad pair, a truncated
//   character) becomes a private-use character U+F880 + (byte - 0x80), shown as
//   a box.
// Text the user typed encodes as everywhere else: a character with no Big5 code
// becomes "?".
class Big5Codec {
public:
  static void decode(QByteArrayView bytes, QString& out);
  static void encode(QStringView text, QByteArray& out);
  static QString decode(QByteArrayView bytes);
  static QByteArray encode(QStringView text);
  // Writes the bytes at out, which has room for 2 * text.size(); returns the
  // end of what it wrote.
  static char* encodeTo(QStringView text, char* out);
  // What encode would produce, in bytes, without producing it.
  static qsizetype byteLength(QStringView text);

  static constexpr char16_t kEscapeBase = 0xF880;
  static constexpr char16_t kAlternateMark = 0xFE00;
};

}  // namespace rix

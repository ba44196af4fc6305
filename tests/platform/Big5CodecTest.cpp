#include <gtest/gtest.h>

#include <QRandomGenerator>
#include <QStringDecoder>
#include <QStringEncoder>
#include <set>

#include "platform/Big5Codec.h"

using rix::Big5Codec;

namespace {

void ExpectSameBytes(const QByteArray& bytes) {
  const QString text = Big5Codec::decode(bytes);
  EXPECT_EQ(Big5Codec::encode(text), bytes) << bytes.toHex().constData();
  EXPECT_EQ(Big5Codec::byteLength(text), bytes.size()) << bytes.toHex().constData();
}

}  // namespace

TEST(Big5Codec, EveryByteStringComesBackAsItWas) {
  // Every two-byte code, valid or not, in one string and one at a time.
  QByteArray all;
  for (int lead = 0x80; lead <= 0xFF; ++lead)
    for (int trail = 0; trail <= 0xFF; ++trail) {
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      all.append(pair, 2);
      const QByteArray one(pair, 2);
      ASSERT_EQ(Big5Codec::encode(Big5Codec::decode(one)), one) << one.toHex().constData();
    }
  ExpectSameBytes(all);
  // Lone lead bytes, at the end and before a byte that cannot follow them.
  for (const char* s : {"\xA4", "a\xA4", "\xA4\x0A", "\xA4\x20z", "\x80\xFF", "\xA3\xC0"})
    ExpectSameBytes(s);
  auto* rng = QRandomGenerator::global();
  for (int i = 0; i < 200; ++i) {
    QByteArray random(static_cast<qsizetype>(rng->bounded(1, 64)), '\0');
    for (char& c : random) c = static_cast<char>(rng->bounded(256));
    ExpectSameBytes(random);
  }
}

TEST(Big5Codec, ShowsTextAsTextAndKeepsTheRestVisible) {
  EXPECT_EQ(Big5Codec::decode("\xA4\xA4\xA4\xE5 ok"), QStringLiteral("中文 ok"));
  // A code that shares its character with another keeps itself apart by a
  // mark that shows nothing: both show as the same character.
  EXPECT_EQ(Big5Codec::decode("\xA2\xCC"), QStringLiteral("十\uFE00"));
  EXPECT_EQ(Big5Codec::decode("\xA4\x51"), QStringLiteral("十"));
  // Bytes that are no character show one box each.
  EXPECT_EQ(Big5Codec::decode("\xA3\xC0"), QStringLiteral("\uF8A3\uF8C0"));
  EXPECT_EQ(Big5Codec::decode("\xFF"), QStringLiteral("\uF8FF"));
  // Typed text: what Big5 has, and "?" for the rest, counted as it is written.
  const QString typed = QStringLiteral("é中😀");
  EXPECT_EQ(Big5Codec::encode(typed), QByteArray("?\xA4\xA4?"));
  EXPECT_EQ(Big5Codec::byteLength(typed), 4);
}

TEST(Big5Codec, EveryPairShowsWhatTheConverterReadsOnItsOwn) {
  // The tables are built from one conversion of all pairs at once; each pair
  // converted by itself must tell the same.
  QStringDecoder dec("Big5", QStringConverter::Flag::Stateless);
  QStringEncoder enc("Big5", QStringConverter::Flag::Stateless);
  std::set<char16_t> marked;  // characters whose second code has been met
  int characters = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead)
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail > 0x7E && trail < 0xA1) continue;
      const char pair[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      const QByteArray bytes(pair, 2);
      const QString s = dec.decode(bytes);
      const char16_t c = s.size() == 1 ? s[0].unicode() : 0;
      // A pair that is no character: a box for the lead byte, then the trail
      // byte as it reads alone.
      QString expected =
          QString(QChar(Big5Codec::kEscapeBase + (lead - 0x80))) +
          (trail < 0x80 ? QChar(trail) : QChar(Big5Codec::kEscapeBase + (trail - 0x80)));
      if (c >= 0x80 && c != 0xFFFD && !QChar::isSurrogate(c) && c != 0x2028 && c != 0x2029 &&
          c != 0xFDD0 && c != 0xFDD1 && c != Big5Codec::kAlternateMark &&
          (c < Big5Codec::kEscapeBase || c > Big5Codec::kEscapeBase + 0x7F)) {
        if (enc.encode(s) == bytes) {
          expected = s;
          ++characters;
        } else if (marked.insert(c).second) {
          expected = s + QChar(Big5Codec::kAlternateMark);
        }
      }
      ASSERT_EQ(Big5Codec::decode(bytes), expected) << bytes.toHex().constData();
    }
  EXPECT_GT(characters, 13000);
}

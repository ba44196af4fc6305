#include <gtest/gtest.h>

#include <QRandomGenerator>

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

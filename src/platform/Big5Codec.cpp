#include "platform/Big5Codec.h"

#include <QStringDecoder>
#include <QStringEncoder>
#include <algorithm>
#include <vector>

namespace rix {

namespace {

constexpr int kPairs = 0x10000;

bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }
bool IsTrail(unsigned char b) { return (b >= 0x40 && b <= 0x7E) || (b >= 0xA1 && b <= 0xFE); }

// Characters that the editor's text store treats as structure, not text.
bool IsStructural(char16_t c) {
  return c == 0x2028 || c == 0x2029 || c == 0xFDD0 || c == 0xFDD1 || c == 0xFFFD;
}

bool IsEscape(char16_t c) {
  return c >= Big5Codec::kEscapeBase && c <= Big5Codec::kEscapeBase + 0x7F;
}

struct Tables {
  // Code (lead << 8 | trail) to character; 0 = not a usable pair.
  std::vector<char16_t> decode = std::vector<char16_t>(kPairs, 0);
  // Codes whose character encodes to another code.
  std::vector<bool> alternate = std::vector<bool>(kPairs, false);
  // Character to code; 0 = not reached by decoding.
  std::vector<quint16> encode = std::vector<quint16>(kPairs, 0);
  // Character of an alternate code to that code.
  std::vector<std::pair<char16_t, quint16>> alternates;

  Tables() {
    // Every pair goes through the converter in one call each way, each pair
    // followed by a line feed: opening a conversion costs far more than a
    // pair's, and a line feed is never part of a Big5 character, so the
    // output splits back into one piece per pair whatever the converter made
    // of it. A pair it cannot read comes out as the replacement character.
    std::vector<quint16> codes;
    codes.reserve(126 * 157);
    QByteArray pairs(126 * 157 * 3, Qt::Uninitialized);
    char* w = pairs.data();
    for (int lead = 0x81; lead <= 0xFE; ++lead) {
      for (int trail = 0x40; trail <= 0xFE; ++trail) {
        if (!IsTrail(static_cast<unsigned char>(trail))) continue;
        codes.push_back(static_cast<quint16>(lead << 8 | trail));
        *w++ = static_cast<char>(lead);
        *w++ = static_cast<char>(trail);
        *w++ = '\n';
      }
    }
    pairs.truncate(w - pairs.constData());
    const QString decoded = QStringDecoder("Big5", QStringConverter::Flag::Stateless)(pairs);
    // The characters that may have a code of their own, each followed by a
    // line feed, and the pairs they came from.
    QString candidates(static_cast<qsizetype>(codes.size()) * 2, Qt::Uninitialized);
    char16_t* cw = reinterpret_cast<char16_t*>(candidates.data());
    std::vector<quint16> from;
    from.reserve(codes.size());
    const char16_t* d = reinterpret_cast<const char16_t*>(decoded.constData());
    const char16_t* const dEnd = d + decoded.size();
    for (const quint16 code : codes) {
      const char16_t* end = std::find(d, dEnd, u'\n');
      if (end == dEnd) break;
      const char16_t c = end - d == 1 ? *d : 0;
      d = end + 1;
      if (c < 0x80 || c == QChar::ReplacementCharacter || IsStructural(c) || IsEscape(c) ||
          c == Big5Codec::kAlternateMark || QChar::isSurrogate(c))
        continue;
      *cw++ = c;
      *cw++ = u'\n';
      from.push_back(code);
    }
    candidates.truncate(cw - reinterpret_cast<const char16_t*>(candidates.constData()));
    const QByteArray back = QStringEncoder("Big5", QStringConverter::Flag::Stateless)(candidates);
    const char* e = back.constData();
    const char* const eEnd = e + back.size();
    for (size_t i = 0; i < from.size(); ++i) {
      const char* end = std::find(e, eEnd, '\n');
      if (end == eEnd) break;
      const quint16 code = from[i];
      const bool same = end - e == 2 && static_cast<unsigned char>(e[0]) == code >> 8 &&
                        static_cast<unsigned char>(e[1]) == (code & 0xFF);
      e = end + 1;
      const char16_t c = candidates[static_cast<qsizetype>(2 * i)].unicode();
      if (same) {
        encode[c] = code;
      } else if (!alternateOf(c)) {
        alternate[code] = true;
        alternates.emplace_back(c, code);
      } else {
        continue;  // a third code of one character: kept as bytes
      }
      decode[code] = c;
    }
  }

  quint16 alternateOf(char16_t c) const {
    for (const auto& a : alternates)
      if (a.first == c) return a.second;
    return 0;
  }
};

const Tables& T() {
  static const Tables tables;
  return tables;
}

// Big5 of a character the decoder never produces (typed or pasted text),
// as the everyday conversion does it.
QByteArray EncodeOther(QStringView c) {
  QStringEncoder one("Big5", QStringConverter::Flag::Stateless);
  QByteArray b = one.encode(c);
  if (one.hasError() || b.isEmpty() || (b.size() == 1 && static_cast<unsigned char>(b[0]) < 0x80))
    return QByteArrayLiteral("?");
  return b;
}

// Walks the text one encoded unit at a time: unit(code, size) with size 1
// (code is the byte) or 2 (code is lead << 8 | trail), or unit(0, -n) for an
// other character of n code units.
template <typename Unit>
void Walk(QStringView text, Unit unit) {
  const Tables& t = T();
  const qsizetype n = text.size();
  for (qsizetype i = 0; i < n; ++i) {
    const char16_t c = text[i].unicode();
    if (c < 0x80) {
      unit(c, 1, i);
    } else if (IsEscape(c)) {
      unit(static_cast<quint16>(c - Big5Codec::kEscapeBase + 0x80), 1, i);
    } else if (i + 1 < n && text[i + 1].unicode() == Big5Codec::kAlternateMark &&
               t.alternateOf(c)) {
      unit(t.alternateOf(c), 2, i);
      ++i;
    } else if (t.encode[c]) {
      unit(t.encode[c], 2, i);
    } else {
      const qsizetype len = (QChar::isHighSurrogate(c) && i + 1 < n) ? 2 : 1;
      unit(0, -len, i);
      i += len - 1;
    }
  }
}

}  // namespace

void Big5Codec::decode(QByteArrayView bytes, QString& out) {
  const Tables& t = T();
  const qsizetype n = bytes.size();
  const auto* p = reinterpret_cast<const unsigned char*>(bytes.data());
  const qsizetype start = out.size();
  out.resize(start + n);  // never more characters than bytes
  char16_t* o = reinterpret_cast<char16_t*>(out.data()) + start;
  char16_t* const begin = o;
  for (qsizetype i = 0; i < n; ++i) {
    const unsigned char b = p[i];
    if (b < 0x80) {
      *o++ = b;
      continue;
    }
    if (IsLead(b) && i + 1 < n) {
      const quint16 code = static_cast<quint16>(b << 8 | p[i + 1]);
      if (const char16_t c = t.decode[code]) {
        *o++ = c;
        ++i;
        if (t.alternate[code]) *o++ = kAlternateMark;
        continue;
      }
    }
    *o++ = static_cast<char16_t>(kEscapeBase + (b - 0x80));
  }
  out.resize(start + (o - begin));
}

QString Big5Codec::decode(QByteArrayView bytes) {
  QString s;
  decode(bytes, s);
  return s;
}

char* Big5Codec::encodeTo(QStringView text, char* out) {
  Walk(text, [&](quint16 code, qsizetype size, qsizetype at) {
    if (size == 1) {
      *out++ = static_cast<char>(code);
    } else if (size == 2) {
      *out++ = static_cast<char>(code >> 8);
      *out++ = static_cast<char>(code & 0xFF);
    } else {
      const QByteArray other = EncodeOther(text.sliced(at, -size));
      out = std::copy(other.begin(), other.end(), out);
    }
  });
  return out;
}

void Big5Codec::encode(QStringView text, QByteArray& out) {
  const qsizetype start = out.size();
  out.resize(start + 2 * text.size());
  char* begin = out.data() + start;
  out.truncate(start + (encodeTo(text, begin) - begin));
}

QByteArray Big5Codec::encode(QStringView text) {
  QByteArray b;
  encode(text, b);
  return b;
}

qsizetype Big5Codec::byteLength(QStringView text) {
  qsizetype total = 0;
  Walk(text, [&](quint16, qsizetype size, qsizetype at) {
    total += size > 0 ? size : EncodeOther(text.sliced(at, -size)).size();
  });
  return total;
}

}  // namespace rix

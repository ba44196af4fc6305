#include "platform/Big5Codec.h"

#include <QStringEncoder>
#include <algorithm>
#include <vector>

namespace rix {

namespace {

constexpr int kPairs = 0x10000;

bool IsLead(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

bool IsEscape(char16_t c) {
  return c >= Big5Codec::kEscapeBase && c <= Big5Codec::kEscapeBase + 0x7F;
}

// The pairs' characters as the system's converter read them when the program
// was built (Big5TableGen): kDecode and kAlternates.
#include "Big5Tables.inc"

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
    for (const quint16 code : kAlternates) alternate[code] = true;
    for (int lead = 0; lead < kLeads; ++lead) {
      for (int trail = 0; trail < kTrails; ++trail) {
        const char16_t c = kDecode[lead][trail];
        if (!c) continue;
        const quint16 code = static_cast<quint16>((0x81 + lead) << 8 | (0x40 + trail));
        decode[code] = c;
        if (alternate[code])
          alternates.emplace_back(c, code);
        else
          encode[c] = code;
      }
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

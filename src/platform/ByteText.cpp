#include "platform/ByteText.h"

#include <limits>

namespace rix {

namespace {

inline bool IsLeadByte(unsigned char b) { return b >= 0x81 && b <= 0xFE; }

template <typename Fn>
QByteArray MapSingleBytes(QByteArrayView text, Fn fn) {
  QByteArray out(text.data(), text.size());
  char* p = out.data();
  const qsizetype n = out.size();
  for (qsizetype i = 0; i < n; ++i) {
    const unsigned char b = static_cast<unsigned char>(p[i]);
    if (IsLeadByte(b) && i + 1 < n) {
      ++i;  // the trail byte belongs to the character
      continue;
    }
    p[i] = static_cast<char>(fn(b));
  }
  return out;
}

}  // namespace

QByteArrayView TrimmedView(QByteArrayView text) {
  qsizetype b = 0;
  qsizetype e = text.size();
  while (b < e && static_cast<unsigned char>(text[b]) < 33) ++b;
  while (e > b && static_cast<unsigned char>(text[e - 1]) < 33) --e;
  return text.sliced(b, e - b);
}

QByteArray TrimBytes(QByteArrayView text) { return TrimmedView(text).toByteArray(); }

QByteArray LowerAscii(QByteArrayView text) {
  return MapSingleBytes(text, [](unsigned char c) { return (c >= 'A' && c <= 'Z') ? c + 32 : c; });
}

QByteArray UpperAscii(QByteArrayView text) {
  return MapSingleBytes(text, [](unsigned char c) { return (c >= 'a' && c <= 'z') ? c - 32 : c; });
}

bool IsYes(QByteArrayView cell) { return LowerAscii(TrimBytes(cell)) == "yes"; }

bool ParseWholeNumber(QByteArrayView text, int* value) {
  qsizetype i = 0;
  const qsizetype n = text.size();
  while (i < n && text[i] == ' ') ++i;
  bool negative = false;
  if (i < n && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= n) return false;
  long long v = 0;
  for (; i < n; ++i) {
    const char c = text[i];
    if (c < '0' || c > '9') return false;
    v = v * 10 + (c - '0');
    if (v > static_cast<long long>(std::numeric_limits<int>::max()) + 1) return false;
  }
  if (negative) v = -v;
  if (v > std::numeric_limits<int>::max() || v < std::numeric_limits<int>::min()) return false;
  *value = static_cast<int>(v);
  return true;
}

}  // namespace rix

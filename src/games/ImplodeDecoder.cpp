#include "games/ImplodeDecoder.h"

#include <algorithm>
#include <cstring>

#include "games/ZipBitReader.h"

namespace rix {

namespace {

constexpr unsigned kMaxCodeBits = 16;

inline unsigned ReverseBits(unsigned v, unsigned n) {
  unsigned r = 0;
  for (unsigned i = 0; i < n; ++i, v >>= 1) r = (r << 1) | (v & 1);
  return r;
}

// Decodes one symbol; the reader must hold at least 16 bits.
inline int DecodeSymbol(ZipBitReader& bits, const std::vector<uint16_t>& table, unsigned width) {
  const uint16_t slot = table[bits.Peek(width)];
  if (slot == 0) return -1;
  bits.Drop(slot >> 8);
  return slot & 0xFF;
}

}  // namespace

bool ImplodeDecoder::ReadTree(const uint8_t*& p, const uint8_t* end, unsigned symbols, Tree& tree) {
  // The tree is stored as run lengths of code lengths: a count of bytes less one, then per
  // byte (codes less one) << 4 | (bit length less one), in symbol order.
  if (p >= end) return false;
  const unsigned runs = *p++ + 1u;
  if (static_cast<size_t>(end - p) < runs) return false;
  uint8_t lengths[256];
  unsigned n = 0;
  for (unsigned i = 0; i < runs; ++i) {
    const unsigned len = (p[i] & 0x0F) + 1u;
    const unsigned count = (p[i] >> 4) + 1u;
    if (n + count > symbols) return false;
    std::memset(lengths + n, static_cast<int>(len), count);
    n += count;
  }
  p += runs;
  if (n != symbols) return false;

  // Shannon-Fano codes: symbols sorted by bit length (stable), codes handed out from the
  // longest upwards as 16-bit left-aligned values.
  uint16_t order[256];
  for (unsigned i = 0; i < symbols; ++i) order[i] = static_cast<uint16_t>(i);
  std::stable_sort(order, order + symbols,
                   [&](uint16_t a, uint16_t b) { return lengths[a] < lengths[b]; });
  unsigned maxLen = lengths[order[symbols - 1]];
  tree.bits = maxLen;
  tree.table.assign(size_t(1) << maxLen, 0);
  uint32_t code = 0, step = 0;
  unsigned lastLen = 0;
  for (unsigned i = symbols; i-- > 0;) {
    const unsigned sym = order[i];
    const unsigned len = lengths[sym];
    code += step;
    if (len != lastLen) {
      lastLen = len;
      step = 1u << (kMaxCodeBits - len);
    }
    if (code >= (1u << kMaxCodeBits)) return false;  // more codes than the lengths allow
    // The stream delivers a code's most significant bit first into the lowest bit position.
    const unsigned stream = ReverseBits(code >> (kMaxCodeBits - len), len);
    const uint16_t slot = static_cast<uint16_t>(len << 8 | sym);
    for (size_t s = stream; s < tree.table.size(); s += size_t(1) << len) {
      if (tree.table[s] != 0) return false;  // one code is a prefix of another
      tree.table[s] = slot;
    }
  }
  return true;
}

bool ImplodeDecoder::Decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize,
                            bool bigWindow, bool literalTree) {
  const uint8_t* p = in;
  const uint8_t* end = in + inSize;
  if (literalTree && !ReadTree(p, end, 256, literals_)) return false;
  if (!ReadTree(p, end, 64, lengths_) || !ReadTree(p, end, 64, distances_)) return false;

  ZipBitReader bits(p, static_cast<size_t>(end - p));
  const unsigned lowBits = bigWindow ? 7 : 6;
  const unsigned minMatch = literalTree ? 3 : 2;
  size_t pos = 0;
  while (pos < outSize) {
    // One refill covers the longest step: 1 + 7 + 16 + 16 + 8 bits.
    bits.Refill();
    const bool literal = bits.Peek(1);
    bits.Drop(1);
    if (literal) {
      int byte;
      if (literalTree) {
        byte = DecodeSymbol(bits, literals_.table, literals_.bits);
        if (byte < 0) return false;
      } else {
        byte = static_cast<int>(bits.Peek(8));
        bits.Drop(8);
      }
      out[pos++] = static_cast<uint8_t>(byte);
    } else {
      const unsigned low = bits.Peek(lowBits);
      bits.Drop(lowBits);
      const int high = DecodeSymbol(bits, distances_.table, distances_.bits);
      if (high < 0) return false;
      int len = DecodeSymbol(bits, lengths_.table, lengths_.bits);
      if (len < 0) return false;
      if (len == 63) {
        len += static_cast<int>(bits.Peek(8));
        bits.Drop(8);
      }
      size_t n = std::min(static_cast<size_t>(len) + minMatch, outSize - pos);
      const size_t back = ((static_cast<size_t>(high) << lowBits) | low) + 1;
      if (back > pos) {
        // Before the start of the output the window holds zeros.
        const size_t zeros = std::min(n, back - pos);
        std::memset(out + pos, 0, zeros);
        pos += zeros;
        n -= zeros;
      }
      for (; n > 0; --n, ++pos) out[pos] = out[pos - back];
    }
    if (bits.Overrun()) return false;
  }
  return true;
}

}  // namespace rix

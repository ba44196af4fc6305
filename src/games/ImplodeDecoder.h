#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace rix {

// ZIP method 6 ("imploded"): LZ77 over a 4K or 8K window whose literals (optionally), match
// lengths and distance high bits are coded with Shannon-Fano trees stored at the start of the
// data. With the literal tree the shortest match is 3 bytes, without it 2.
class ImplodeDecoder {
public:
  // Decodes `in` into exactly `outSize` bytes. bigWindow: general-purpose flag bit 1 (8K);
  // literalTree: flag bit 2 (three trees). False when the trees or the stream are corrupt or
  // the data ends early. Reads at most inSize bytes and writes at most outSize bytes.
  bool Decode(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize, bool bigWindow,
              bool literalTree);

private:
  // Lookup table indexed by the next `bits` stream bits: symbol | length << 8, 0 = no code.
  struct Tree {
    unsigned bits = 0;
    std::vector<uint16_t> table;
  };

  static bool ReadTree(const uint8_t*& p, const uint8_t* end, unsigned symbols, Tree& tree);

  Tree literals_;
  Tree lengths_;
  Tree distances_;
};

}  // namespace rix

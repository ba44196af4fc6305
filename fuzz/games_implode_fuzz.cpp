// Raw imploded streams: a flag byte (bit 1: 8K window, bit 2: literal tree, as in the general
// purpose flags), two bytes of output size (little-endian), then the stream.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "games/ImplodeDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  const size_t outSize = data[1] | size_t(data[2]) << 8;
  static rix::ImplodeDecoder* decoder = new rix::ImplodeDecoder;
  std::vector<uint8_t> out(outSize);
  decoder->Decode(data + 3, size - 3, out.data(), outSize, data[0] & 2, data[0] & 4);
  return 0;
}

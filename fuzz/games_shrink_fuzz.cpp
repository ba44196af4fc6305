// Raw shrunk streams: two bytes of output size (little-endian), then the stream.

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "games/ShrinkDecoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const size_t outSize = data[0] | size_t(data[1]) << 8;
  static rix::ShrinkDecoder* decoder = new rix::ShrinkDecoder;
  std::vector<uint8_t> out(outSize);
  decoder->Decode(data + 2, size - 2, out.data(), outSize);
  return 0;
}

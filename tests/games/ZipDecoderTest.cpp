// The two legacy decoders on their own: streams made by hand for the error paths, and the
// sample archives' streams for the output bounds.

#include <gtest/gtest.h>

#include <QFile>
#include <vector>

#include "games/ImplodeDecoder.h"
#include "games/ShrinkDecoder.h"
#include "games/ZipArchive.h"
#include "games/ZipFile.h"

namespace {

using rix::ImplodeDecoder;
using rix::ShrinkDecoder;

// Codes packed least significant bit first, as the legacy methods store them.
class Bits {
public:
  Bits& Put(uint32_t value, int n) {
    for (int i = 0; i < n; ++i) {
      if (used_ % 8 == 0) bytes_.push_back(0);
      if (value >> i & 1) bytes_.back() |= static_cast<uint8_t>(1 << (used_ % 8));
      ++used_;
    }
    return *this;
  }
  Bits& Codes(std::initializer_list<uint32_t> codes, int n = 9) {
    for (uint32_t c : codes) Put(c, n);
    return *this;
  }
  const std::vector<uint8_t>& bytes() const { return bytes_; }

private:
  std::vector<uint8_t> bytes_;
  int used_ = 0;
};

// Decodes into a buffer with guard bytes after `size` and checks they stay untouched.
template <typename F>
bool Guarded(size_t size, std::vector<uint8_t>* out, F decode) {
  std::vector<uint8_t> buf(size + 64, 0xEE);
  const bool ok = decode(buf.data(), size);
  for (size_t i = size; i < buf.size(); ++i)
    if (buf[i] != 0xEE) ADD_FAILURE() << "wrote past the output at " << i;
  buf.resize(size);
  *out = buf;
  return ok;
}

bool Unshrink(const std::vector<uint8_t>& in, size_t size, std::string* text = nullptr) {
  ShrinkDecoder d;
  std::vector<uint8_t> out;
  const bool ok = Guarded(
      size, &out, [&](uint8_t* o, size_t n) { return d.Decode(in.data(), in.size(), o, n); });
  if (text) text->assign(out.begin(), out.end());
  return ok;
}

TEST(ShrinkDecoder, StringsAndTheCodeNamingItself) {
  std::string text;
  // 'A', 'B', then 257 = "AB", then 259 is the entry being made: "AB" + 'A'.
  EXPECT_TRUE(Unshrink(Bits().Codes({'A', 'B', 257, 259}).bytes(), 7, &text));
  EXPECT_EQ(text, "ABABABA");
}

TEST(ShrinkDecoder, CorruptStreamsFail) {
  const struct {
    const char* what;
    Bits bits;
    size_t size;
  } cases[] = {
      {"first code not a literal", Bits().Codes({300, 'A'}), 2},
      {"unknown control code", Bits().Codes({'A', 256, 3, 'B'}), 2},
      {"code undefined", Bits().Codes({'A', 'B', 400}), 4},
      {"ends early", Bits().Codes({'A', 'B'}), 3},
      {"empty", Bits(), 1},
      {"wider than 13 bits",
       Bits()
           .Codes({'A', 256, 1})
           .Codes({256, 1}, 10)
           .Codes({256, 1}, 11)
           .Codes({256, 1}, 12)
           .Codes({256, 1, 'B'}, 13),
       2},
      {"string longer than the room left", Bits().Codes({'A', 'B', 257}), 3},
  };
  for (const auto& c : cases) EXPECT_FALSE(Unshrink(c.bits.bytes(), c.size)) << c.what;
}

TEST(ShrinkDecoder, PartialClearFreesLeavesAndLoopsAreCaught) {
  std::string text;
  // "AB" (257) and "BA" (258) are made, then both cleared as leaves. The entry made after "C"
  // takes 257 and, its prefix being the freed 257 itself, names itself; "CD" takes 258.
  EXPECT_TRUE(Unshrink(Bits().Codes({'A', 'B', 257, 256, 2, 'C', 'D', 258}).bytes(), 8, &text));
  EXPECT_EQ(text, "ABABCDCD");
  // Using the entry that names itself must fail rather than loop.
  EXPECT_FALSE(Unshrink(Bits().Codes({'A', 'B', 257, 256, 2, 'C', 257}).bytes(), 8));
}

// The compressed bytes of one entry of a sample archive.
struct Stream {
  std::vector<uint8_t> data;
  size_t size = 0;
  uint16_t flags = 0;
};

Stream Load(const char* archive, int index) {
  Stream s;
  const rix::ZipFile file(QStringLiteral(RIX_TEST_DATA "/zip/") + archive);
  rix::ZipArchive zip(file);
  rix::ZipCentralEntry c;
  if (!zip.Open()) return s;
  for (int i = 0; i <= index; ++i)
    if (!zip.Next(&c)) return s;
  rix::ZipLocalEntry l;
  if (zip.Local(c, &l) != rix::ZipArchive::LocalStatus::Ok) return s;
  s.data.resize(l.compressedSize);
  if (!file.Read(l.dataOffset, s.data.data(), s.data.size())) s.data.clear();
  s.size = l.uncompressedSize;
  s.flags = l.flags;
  return s;
}

TEST(ShrinkDecoder, NeverWritesPastTheOutputOrReadsPastTheInput) {
  const Stream s = Load("shrink-clear-13bit.zip", 0);
  ASSERT_EQ(s.size, 9000u);
  std::string full;
  ASSERT_TRUE(Unshrink(s.data, s.size, &full));
  for (size_t size : {1, 2, 100, 4567, 8999}) {
    std::string part;
    Unshrink(s.data, size, &part);  // may stop inside a string and fail; must stay in bounds
  }
  for (size_t cut : {0, 1, 100, 2000}) {
    const std::vector<uint8_t> shorter(s.data.begin(), s.data.end() - static_cast<long>(cut) - 1);
    EXPECT_FALSE(Unshrink(shorter, s.size)) << cut;
  }
}

bool Explode(const Stream& s, const std::vector<uint8_t>& in, size_t size,
             std::vector<uint8_t>* out) {
  ImplodeDecoder d;
  return Guarded(size, out, [&](uint8_t* o, size_t n) {
    return d.Decode(in.data(), in.size(), o, n, s.flags & 2, s.flags & 4);
  });
}

TEST(ImplodeDecoder, NeverWritesPastTheOutputOrReadsPastTheInput) {
  for (int entry = 0; entry < 4; ++entry) {
    SCOPED_TRACE(entry);
    const Stream s = Load("implode-all.zip", entry);
    ASSERT_GT(s.size, 0u);
    std::vector<uint8_t> full, part;
    ASSERT_TRUE(Explode(s, s.data, s.size, &full));
    // A shorter output is a prefix of the whole.
    ASSERT_TRUE(Explode(s, s.data, s.size / 3, &part));
    EXPECT_TRUE(std::equal(part.begin(), part.end(), full.begin()));
    for (size_t cut : {1, 50, 500}) {
      const std::vector<uint8_t> shorter(s.data.begin(), s.data.end() - static_cast<long>(cut));
      EXPECT_FALSE(Explode(s, shorter, s.size, &part)) << cut;
    }
  }
}

TEST(ImplodeDecoder, MalformedTreesFail) {
  const Stream s = {{}, 10, 0};  // two trees, 4K window
  std::vector<uint8_t> out;
  const std::vector<std::vector<uint8_t>> trees = {
      {},                                 // nothing at all
      {0, 0x36},                          // 4 codes instead of 64
      {3, 0xF5, 0xF5, 0xF5, 0xF5, 0x00},  // 64 six-bit codes, then a 1-code run too many
      {0x03, 0xF0, 0xF5, 0xF5, 0xF5},     // 16 one-bit codes: more than the bits allow
      {0x01, 0xF5},                       // the run count says more bytes than there are
  };
  for (const auto& t : trees) EXPECT_FALSE(Explode(s, t, s.size, &out)) << t.size();
}

}  // namespace

// The writer behind a large entry starts only once several pieces wait: a file of fewer
// pieces than that, or of many pieces of any size, must still come out whole and in order.

#include <gtest/gtest.h>
#include <libdeflate.h>

#include <cstring>

#include "TestSupport.h"
#include "games/ZipTargetDir.h"
#include "games/ZipWriteBehind.h"

namespace {

using namespace rix;

TEST(ZipWriteBehind, EveryPieceIsWrittenInOrderHoweverFewWait) {
  for (int pieces : {1, 3, 37}) {
    SCOPED_TRACE(pieces);
    rixtest::ScratchDir dir;
    ZipTargetDir target(dir.path());
    ASSERT_TRUE(target.BeginFile(0, "out.bin"));
    QByteArray expected;
    {
      ZipWriteBehind writer(target);
      for (int i = 0; i < pieces; ++i) {
        uint8_t* piece = writer.Take();
        ASSERT_NE(piece, nullptr);
        const size_t size = ZipWriteBehind::kPiece - static_cast<size_t>(i) * 1000;
        std::memset(piece, 'a' + i % 26, size);
        expected.append(reinterpret_cast<const char*>(piece), static_cast<qsizetype>(size));
        writer.Put(piece, size);
      }
      ASSERT_TRUE(writer.Finish());
    }
    // The pieces are written unchecked: the decoder hands over the CRC.
    const uint32_t crc = libdeflate_crc32(0, expected.constData(), expected.size());
    target.SetCrc(crc);
    EXPECT_EQ(target.EndFile(crc, 0, false), ZipTargetDir::WriteResult::Written);
    EXPECT_TRUE(rixtest::ReadAll(dir.file("out.bin")) == expected);
  }
}

}  // namespace

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "docs/DocumentFile.h"
#include "platform/Big5Codec.h"

// Reads arbitrary bytes as a document: every paragraph's counted size is the
// size it is written back in, and what a save writes reads back as the same
// paragraphs (an empty last one added when the file had no final line break),
// which save to the same bytes again.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const QByteArrayView bytes(reinterpret_cast<const char*>(data), qsizetype(size));
  const rix::DocumentText text = rix::ReadDocumentBytes(bytes);
  const QStringList paragraphs = rix::DocumentParagraphs(text);
  if (paragraphs.isEmpty() || size_t(paragraphs.size()) != text.paragraphBytes.size()) std::abort();
  for (qsizetype i = 0; i < paragraphs.size(); ++i)
    if (rix::Big5Codec::byteLength(paragraphs[i]) != text.paragraphBytes[size_t(i)]) std::abort();

  const QByteArray saved = rix::FormatParagraphs(paragraphs);
  QStringList expected = paragraphs;
  if (!expected.last().isEmpty()) expected << QString();
  const QStringList again = rix::DocumentParagraphs(rix::ReadDocumentBytes(saved));
  if (again != expected) std::abort();
  if (rix::FormatParagraphs(again) != saved) std::abort();
  return 0;
}

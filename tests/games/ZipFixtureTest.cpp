// The legacy-method and Zip64 archives: every entry must come out exactly as Info-ZIP unzip gives
// it.

#include <gtest/gtest.h>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "TestSupport.h"
#include "games/ZipReader.h"

namespace {

using rix::ZipExtractMatching;
using rixtest::ReadAll;
using rixtest::ScratchDir;

const QString kData = QStringLiteral(RIX_TEST_DATA "/zip/");

struct Sample {
  const char* archive;
  QList<QPair<const char*, qint64>> entries;  // stored name and size
};

const QList<Sample> kSamples = {
    {"cc-SHRUNK.ZIP", {{"TEST1.XML", 76}, {"TEST2.XML", 81}}},
    {"cc-imploding-4Kdict-2trees.zip", {{"HEADER.TXT", 818}}},
    {"cc-imploding-8Kdict-3trees.zip", {{"LICENSE.TXT", 11560}}},
    {"zip2-shrink.zip", {{"FIRST.TXT", 1092}}},
    {"zip2-implode.zip", {{"first.txt", 1092}}},
    {"shrink-clear-13bit.zip", {{"CLEAR13.TXT", 9000}, {"CLEAR9.TXT", 6000}}},
    {"implode-all.zip",
     {{"8K2T.TXT", 12000}, {"4K3T.TXT", 5064}, {"8K3T.TXT", 5064}, {"4K2T.TXT", 4000}}},
    {"descriptor.zip",
     {{"sig/deflated.txt", 3000}, {"plain/deflated.txt", 1000}, {"plain/stored.txt", 300}}},
    {"zip64-python.zip", {{"sub/deflated.txt", 3000}, {"stored.bin", 700}}},
    {"zip64-stream.zip", {{"streamed.txt", 2000}}},
    {"zip64-infozip.zip", {{"fz.txt", 1500}}},
};

QByteArray UnzipPipe(const QString& archive, const QString& name) {
  QProcess p;
  p.start("unzip", {"-p", archive, name});
  p.waitForFinished(30000);
  return p.readAllStandardOutput();
}

TEST(ZipFixture, EveryEntryMatchesTheReferenceUnpacker) {
  const bool haveUnzip = !QStandardPaths::findExecutable("unzip").isEmpty();
  for (const Sample& s : kSamples) {
    SCOPED_TRACE(s.archive);
    ScratchDir out;
    const QString archive = kData + s.archive;
    ASSERT_EQ(ZipExtractMatching(archive, out.path(), "*.*"), s.entries.size());
    for (const auto& [name, size] : s.entries) {
      SCOPED_TRACE(name);
      const QByteArray ours = ReadAll(out.file(name));
      EXPECT_EQ(ours.size(), size);
      if (haveUnzip) {
        EXPECT_EQ(ours, UnzipPipe(archive, name));
      }
    }
  }
}

}  // namespace

// Archive bytes from outside: both entry points on one file, unpacking into a scratch
// directory that is emptied after every run. Anything appearing beside that directory means a
// name escaped it; anything in it after a refusal means the limits were checked too late.
// fuzz/make_zip_seeds.py writes the hostile archives of the trials into the seeds.

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "games/ZipReader.h"
#include "platform/DirectoryTree.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Destroyed, and so removed, when the fuzzer exits.
  static QTemporaryDir scratch(QDir::tempPath() + "/rix-zip-fuzz-XXXXXX");
  QTemporaryDir* root = &scratch;
  const QString archive = root->filePath("in.zip");
  const QString out = root->filePath("out/");
  {
    QFile f(archive);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return 0;
    f.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
  }
  const QByteArray first = rix::ZipFirstEntryName(archive);
  if (first.size() > 259) std::abort();
  // A refused archive leaves nothing at all.
  if (rix::ZipExtractMatching(archive, out, "*.*") == rix::kZipRefused &&
      !QDir(out)
           .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)
           .isEmpty()) {
    std::fprintf(stderr, "a refused archive wrote something\n");
    std::abort();
  }
  rix::ZipExtractMatching(archive, out, first);
  // The names the launch hands on: each one is relative and stays below the folder.
  const QStringList names = rix::ZipEntryTexts(archive);
  for (const QString& name : names) {
    if (name.startsWith(u'/') || name.split(u'/').contains(QStringLiteral(".."))) {
      std::fprintf(stderr, "a name leads out: %s\n", qPrintable(name));
      std::abort();
    }
  }
  if (!names.isEmpty()) rix::ZipUnpackMatching(archive, out, names.first());
  const QStringList beside =
      QDir(root->path())
          .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& name : beside) {
    if (name != "in.zip" && name != "out") {
      std::fprintf(stderr, "escaped: %s\n", qPrintable(name));
      std::abort();
    }
  }
  rix::RemoveTreeBelow(root->path(), QStringLiteral("out"));  // however deep
  return 0;
}

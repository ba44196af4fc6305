#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <functional>

namespace rixtest {

// Reads a whole file; empty when it cannot be read.
QByteArray ReadAll(const QString& path);
// Writes bytes to a file, creating its directory; returns false on failure.
bool WriteAll(const QString& path, const QByteArray& bytes);
// Big5 bytes of a UTF-8 literal, for building fixtures.
QByteArray Big5(const QString& text);
// One line of a table file: Big5 cells joined by commas, an empty cell as "",
// CR LF at the end (cells in tests hold no commas).
QByteArray TableLine(const QStringList& cells);

// Runs fn with writes limited to `bytes` per file, so that a write fails part
// way as it would on a full disk.
void WithFileSizeLimit(long bytes, const std::function<void()>& fn);

// How far the peak resident memory rose while fn ran, in bytes.
qint64 PeakMemoryGrowth(const std::function<void()>& fn);

// Path of a directory that the test owns; removed at the end of the test.
class ScratchDir {
public:
  ScratchDir();
  QString path() const;  // ends with "/"
  QString file(const QString& name) const { return path() + name; }

private:
  QTemporaryDir dir_;
};

}  // namespace rixtest

#include "TestSupport.h"

#include <sys/resource.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>
#include <csignal>

namespace rixtest {

QByteArray ReadAll(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return {};
  return f.readAll();
}

bool WriteAll(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return false;
  return f.write(bytes) == bytes.size();
}

QByteArray Big5(const QString& text) {
  QStringEncoder enc("Big5");
  return enc.encode(text);
}

QByteArray TableLine(const QStringList& cells) {
  QByteArray line;
  for (qsizetype i = 0; i < cells.size(); ++i) {
    if (i) line += ',';
    line += cells[i].isEmpty() ? QByteArray("\"\"") : Big5(cells[i]);
  }
  return line + "\r\n";
}

void WithFileSizeLimit(long bytes, const std::function<void()>& fn) {
  std::signal(SIGXFSZ, SIG_IGN);
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  rlimit small = old;
  small.rlim_cur = static_cast<rlim_t>(bytes);
  setrlimit(RLIMIT_FSIZE, &small);
  fn();
  setrlimit(RLIMIT_FSIZE, &old);
}

namespace {

qint64 PeakResidentBytes() {
  QFile status(QStringLiteral("/proc/self/status"));
  if (!status.open(QIODevice::ReadOnly)) return 0;
  for (const QByteArray& line : status.readAll().split('\n'))
    if (line.startsWith("VmHWM:"))
      return line.mid(6).trimmed().split(' ').first().toLongLong() * 1024;
  return 0;
}

}  // namespace

qint64 PeakMemoryGrowth(const std::function<void()>& fn) {
  // Writing 5 there sets the peak back to what is resident now.
  QFile reset(QStringLiteral("/proc/self/clear_refs"));
  if (reset.open(QIODevice::WriteOnly)) reset.write("5");
  reset.close();
  const qint64 before = PeakResidentBytes();
  fn();
  return PeakResidentBytes() - before;
}

ScratchDir::ScratchDir() : dir_(QDir::tempPath() + "/rixtest-XXXXXX") {}

QString ScratchDir::path() const { return dir_.path() + "/"; }

}  // namespace rixtest

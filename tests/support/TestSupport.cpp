#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStringEncoder>

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

ScratchDir::ScratchDir() : dir_(QDir::tempPath() + "/rixtest-XXXXXX") {}

QString ScratchDir::path() const { return dir_.path() + "/"; }

}  // namespace rixtest

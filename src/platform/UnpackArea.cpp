#include "platform/UnpackArea.h"

#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <atomic>

#include "platform/DirectoryTree.h"
#include "platform/TempDirectory.h"

namespace rix {

namespace {

const QString kRecord = QStringLiteral("launches");

// "<pid>-<start time>-<window>": the program's process and which of its windows.
QString FolderName() {
  static std::atomic<int> windows{0};
  const ProcessId self = IdentifyProcess(::getpid());
  return QStringLiteral("%1-%2-%3").arg(self.pid).arg(self.startTime).arg(++windows);
}

ProcessId OwnerOf(const QString& folderName) {
  const QStringList parts = folderName.split(u'-');
  if (parts.size() != 3) return {};
  return {parts[0].toLongLong(), parts[1].toULongLong()};
}

// Lines of "<launch folder> <pid> <start time>".
QList<QPair<QString, ProcessId>> ReadRecord(const QString& folder) {
  QList<QPair<QString, ProcessId>> out;
  QFile f(folder + kRecord);
  if (!f.open(QIODevice::ReadOnly)) return out;
  for (const QByteArray& line : f.readAll().split('\n')) {
    const QList<QByteArray> w = line.split(' ');
    if (w.size() == 3)
      out.append({QString::fromLatin1(w[0]), {w[1].toLongLong(), w[2].toULongLong()}});
  }
  return out;
}

QByteArray RecordLine(const QString& launch, const ProcessId& emulator) {
  return launch.toLatin1() + ' ' + QByteArray::number(emulator.pid) + ' ' +
         QByteArray::number(emulator.startTime) + '\n';
}

void WriteRecord(const QString& folder, const QByteArray& text) {
  QSaveFile f(folder + kRecord);
  if (f.open(QIODevice::WriteOnly)) {
    f.write(text);
    f.commit();
  }
}

}  // namespace

UnpackArea::UnpackArea(QString root, RunningTest running)
    : root_(std::move(root)), running_(std::move(running)) {
  if (!root_.endsWith(u'/')) root_ += u'/';
  folder_ = root_ + FolderName() + u'/';
}

UnpackArea::~UnpackArea() {
  if (release() == 0 && made_) RemoveTreeBelow(root_, QDir(folder_).dirName());
}

QString UnpackArea::newLaunchFolder() {
  if (!EnsurePrivateTempDir(root_)) return {};
  if (!made_) {
    if (!QDir().mkpath(folder_)) return {};
    QFile::setPermissions(folder_, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    made_ = true;
  }
  // A name no earlier launch of this window used, even one whose folder is gone.
  for (;;) {
    const QString name = QString::number(++next_);
    if (QDir(folder_).exists(name)) continue;
    if (!QDir(folder_).mkdir(name)) return {};
    launches_.append({name, {}});
    writeRecord();
    return folder_ + name + u'/';
  }
}

void UnpackArea::keep(const QString& launchFolder, const ProcessId& emulator) {
  for (Launch& l : launches_)
    if (folder_ + l.name + u'/' == launchFolder) l.emulator = emulator;
  writeRecord();
}

int UnpackArea::release() {
  const qsizetype before = launches_.size();
  launches_.removeIf([&](const Launch& l) {
    if (running_(l.emulator)) return false;
    // One that cannot be removed now is tried again later.
    return RemoveTreeBelow(folder_, l.name);
  });
  if (launches_.size() != before) writeRecord();
  return int(launches_.size());
}

void UnpackArea::writeRecord() const {
  if (!made_) return;
  QByteArray text;
  for (const Launch& l : launches_) text += RecordLine(l.name, l.emulator);
  WriteRecord(folder_, text);
}

void UnpackArea::Sweep(const QString& rootPath, const RunningTest& running) {
  QString root = rootPath;
  if (!root.endsWith(u'/')) root += u'/';
  if (!EnsurePrivateTempDir(root)) return;
  const QStringList names =
      QDir(root).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
  for (const QString& name : names) {
    const QString folder = root + name + u'/';
    const ProcessId owner = OwnerOf(name);
    const QFileInfo info(root + name);
    const bool isFolder = info.isDir() && !info.isSymLink();
    // Anything that is no window's folder is left over from an older layout.
    if (!isFolder || !owner.isValid()) {
      RemoveTreeBelow(root, name);
      continue;
    }
    if (running(owner)) continue;
    QStringList waiting;
    QByteArray record;
    for (const auto& [launch, emulator] : ReadRecord(folder)) {
      if (!running(emulator) || !QFileInfo(folder + launch).isDir()) continue;
      waiting << launch;
      record += RecordLine(launch, emulator);
    }
    if (waiting.isEmpty()) {
      RemoveTreeBelow(root, name);
      continue;
    }
    for (const QString& entry : QDir(folder).entryList(QDir::AllEntries | QDir::Hidden |
                                                       QDir::System | QDir::NoDotAndDotDot))
      if (entry != kRecord && !waiting.contains(entry)) RemoveTreeBelow(folder, entry);
    WriteRecord(folder, record);
  }
}

}  // namespace rix

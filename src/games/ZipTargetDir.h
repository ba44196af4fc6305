#pragma once

#include <QByteArray>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <cstddef>
#include <cstdint>
#include <ctime>
#include <vector>

namespace rix {

// Writes unpacked entries below one directory. Every component is opened relative to its
// parent without following symbolic links, so nothing lands outside the directory even when
// links already sit inside it. A file appears under its name only complete: it is written to
// a temporary file beside it and renamed into place. A missing component is matched without
// regard to ASCII case against what the directory holds, as names behave on the system the
// archives come from.
//
// Directories are nodes of a tree (parent, name), so what is kept per directory does not grow
// with its depth. Only the target and the directory used last stay open; another directory
// found before is reopened with one call that resolves its whole path beneath the target
// without following links, where the system offers one.
class ZipTargetDir {
public:
  explicit ZipTargetDir(QString nativeDir);
  ~ZipTargetDir();
  ZipTargetDir(const ZipTargetDir&) = delete;
  ZipTargetDir& operator=(const ZipTargetDir&) = delete;

  // The node of the directory parts[0..count), entered without touching the disk; 0 is the
  // target itself. -1 when a component or the whole path would exceed the system's limits.
  int Node(const QStringList& parts, qsizetype count);
  // Directories entered so far, the target not counted.
  qsizetype nodeCount() const { return static_cast<qsizetype>(nodes_.size()) - 1; }
  // Whether a file `nativeName` in the directory `node` stays within the system's limits.
  bool Fits(int node, const QByteArray& nativeName) const;

  // Creates the directory `node` and each missing one above it.
  bool MakeDirectory(int node);

  // Writing one file at a time: Begin, Append as often as needed, then End or Abort.
  enum class WriteResult { Written, BadCrc, Failed };
  bool BeginFile(int node, const QByteArray& nativeName);
  // Writes and checksums.
  bool Append(const uint8_t* data, size_t size);
  // Writes only: for a decoder that computes the CRC-32 in its own pass over the bytes and
  // hands it over with SetCrc() before EndFile(), which saves a second pass.
  bool Write(const uint8_t* data, size_t size);
  void SetCrc(uint32_t crc) { fileCrc_ = crc; }
  // Sets aside room for the file's `size` bytes before they are written, so that the writes
  // need not allocate as they go. A failure is no error: the writes then find out.
  void Reserve(uint64_t size);
  // Renames the file into place, replacing an existing one, unless the CRC-32 of what was
  // appended differs from `crc`; gives it the modification time `mtime` when setTime.
  WriteResult EndFile(uint32_t crc, time_t mtime, bool setTime);
  // Removes what the file being written holds so far.
  void AbortFile();

  // The names directly inside the target that were written or entered, for the clean-up.
  QStringList touched() const;

private:
  struct DirNode {
    int parent = 0;
    uint32_t length = 0;  // bytes of the native path from the target's start, "/" included
    QByteArray name;      // as the archive names it
    QByteArray disk;      // as found or made on disk; empty until then
    bool listed = false;  // its listing has been read into listing_
  };

  bool OpenRoot();
  // A descriptor of the directory `node` (created when asked), or -1. Owned by this object.
  int Open(int node, bool create);
  // Opens path_[0..count), all found on disk before; -1 when that fails.
  int OpenFound(size_t count);
  int OpenChild(int parentFd, int node, bool create);
  // The name to use for `name` inside the directory `dirFd` of node `dir`.
  QByteArray Resolve(int dirFd, int dir, const QByteArray& name);
  void Remember(int dir, const QByteArray& name);

  QString dir_;
  int rootFd_ = -1;
  bool rootTried_ = false;
  std::vector<DirNode> nodes_;
  // (parent node, lower-case name) -> node.
  QHash<QByteArray, int> children_;
  // The components of the last Node() call that were entered, and their nodes.
  QStringList lastParts_;
  std::vector<int> lastIds_;
  // (directory node, lower-case name) -> name on disk, filled on the first miss.
  QHash<QByteArray, QByteArray> listing_;
  int lastNode_ = -1;
  int lastFd_ = -1;
  std::vector<int> path_;  // nodes from the target down, scratch of Open()
  QSet<QByteArray> touched_;

  // The file being written.
  int fileFd_ = -1;
  int fileDirFd_ = -1;
  int fileNode_ = 0;
  QByteArray fileName_;
  QByteArray fileTemp_;
  uint32_t fileCrc_ = 0;
};

}  // namespace rix

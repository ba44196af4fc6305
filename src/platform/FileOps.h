#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace rix {

// File access of the program. Paths here are native (see AppPaths.h).
// Failures throw FileError with the runtime's text.

// The whole file in one read. Only a regular file is read: a FIFO, a device
// or a socket is refused with "不正確檔案名稱" without waiting for a writer, and
// a file that grows while it is read is read up to the size it had when opened.
QByteArray ReadFileBytes(const QString& nativePath);
// The same into `out`; a read that fails part way throws with the bytes read
// before the failure left in `out`.
void ReadFileInto(const QString& nativePath, QByteArray& out);

// What a save compares to learn whether another program wrote the file since
// it was read or last written: its size and modification time. A file that
// does not exist has a null stamp.
struct FileStamp {
  qint64 size = -1;
  qint64 mtimeNs = 0;
  bool isNull() const { return size < 0; }
  bool operator==(const FileStamp&) const = default;
};
FileStamp StampOf(const QString& nativePath);

// Replaces the file with the bytes so that it is never seen half written: the
// bytes go to a temporary file in the same directory, which is then renamed
// over the target. On failure the old file is untouched and the temporary
// file removed. A symbolic link stays a link: the file it leads to is the one
// replaced. A file with several hard links keeps them: the complete new
// content, synced, is copied over it in place, so every name sees it.
void WriteFileAtomic(const QString& nativePath, QByteArrayView bytes);

// The same, for bytes produced a piece at a time: nothing replaces the target
// until commit(); a writer destroyed without commit() leaves it untouched.
class AtomicFileWriter {
public:
  explicit AtomicFileWriter(const QString& nativePath);  // throws FileError
  ~AtomicFileWriter();
  AtomicFileWriter(const AtomicFileWriter&) = delete;
  AtomicFileWriter& operator=(const AtomicFileWriter&) = delete;

  void write(const char* data, qsizetype size);  // throws FileError
  void commit();                                 // throws FileError

private:
  [[noreturn]] void fail(int err);
  void copyOverTarget();

  QString path_;
  QByteArray target_;
  QByteArray temp_;
  unsigned mode_ = 0;
  int fd_ = -1;
  bool inPlace_ = false;  // the target has other hard links
};

// An existing file that is not a directory.
bool FileExists(const QString& nativePath);
bool DirectoryExists(const QString& nativePath);
// Creates the directory and every missing parent; true when it exists afterwards.
bool ForceDirectories(const QString& nativePath);

enum class EnsureDirResult { Existed, Created, Failed };

// Makes sure the directory part of a catalogue path exists: the path is made
// absolute by the application-directory rule, its directory part (up to the
// last "\", "/" or ":") is created with every missing parent. A path naming a
// directory without a final separator creates only its parent.
EnsureDirResult EnsureFileDirectory(const QString& path, const QString& appDir);

}  // namespace rix

#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <cstdint>
#include <future>
#include <memory>
#include <vector>

namespace rix {

// Which files a directory holds, from one listing, looked up without regard
// to ASCII case. Names with a sub-directory part list that sub-directory once
// too. Used to mark thousands of games without a file-system call per game.
class DirectoryIndex {
public:
  explicit DirectoryIndex(const QString& nativeDir);
  ~DirectoryIndex();
  DirectoryIndex(DirectoryIndex&&) = default;
  DirectoryIndex& operator=(DirectoryIndex&&) = default;

  // The directory this index lists, ending with "/".
  const QString& directory() const { return root_; }
  // Starts reading the directory's own listing on another thread, so that it
  // is taken while the caller does other work; the first lookup that needs
  // it waits for it. Without this call that lookup reads it.
  void startListing();

  // True when dir + name (with "\" or "/" separators) names an existing file
  // that is not a directory. An empty name names the directory itself: false.
  bool hasFile(const QString& name);
  // The same for a game cell's bytes: first as the file system's own bytes
  // (a name that is not UTF-8, or a raw Big5 one, finds its file), then
  // decoded as Big5 text (the UTF-8 file of that name). A plain ASCII name
  // without a directory part, the common case, is looked up once.
  bool hasCellFile(QByteArrayView name);

  // Waits for (or reads) the directory's own listing. After it, plainFile
  // may be called from several threads at once.
  void readListing() { listing(root_); }
  // hasCellFile for a plain ASCII name without a directory part, touching
  // nothing: 1 when the directory holds it as a file, 0 when not, -1 when the
  // name is not plain and must go through hasCellFile. Needs readListing.
  int plainFile(QByteArrayView name) const;

private:
  // One directory's entries: folded names in one buffer, found through an
  // open-addressing table, so that a listing of tens of thousands of names
  // costs a few allocations. The table holds entry numbers, not entries: at
  // half load it is four bytes a slot, which keeps a listing that is built
  // while a long list is loaded from adding much to the peak.
  struct Listing {
    struct Slot {
      std::uint32_t off = 0;
      std::uint32_t hash = 0;
      std::uint16_t len = 0;
      bool isFile = false;
    };
    QByteArray names;
    std::vector<Slot> entries;
    std::vector<std::uint32_t> table;           // entry number + 1; 0: empty
    QHash<QByteArray, QByteArray> realDirName;  // folded -> stored, directories only

    const Slot* find(QByteArrayView folded) const { return find(folded, HashOf(folded)); }
    const Slot* find(QByteArrayView folded, std::uint32_t hash) const;
  };
  static std::uint32_t HashOf(QByteArrayView folded);
  const Listing& listing(const QString& dir);
  static Listing Read(const QString& dir);
  // The path's parts below the root, each looked up without regard to ASCII case.
  bool hasFileParts(const QList<QByteArray>& parts);

  QString root_;
  std::unique_ptr<Listing> rootListing_;  // apart, so that the common lookup finds it at once
  std::future<Listing> pendingRoot_;
  QHash<QString, Listing> listings_;
};

// The file a game cell names in a directory, as the file system's bytes of
// its whole path, looked up as hasCellFile does: the cell's own bytes first,
// then its Big5 text; ASCII case aside where the exact name is missing. Empty
// when neither names a file (a directory is no file). For the launch, which
// must pass the very file the marker saw.
QByteArray FindCellFile(const QString& nativeDir, QByteArrayView cell);

// A cell's path split at "\" and "/" where they stand as characters: the
// second byte of a Big5 character may be 0x5C and does not separate.
QList<QByteArray> SplitCellPath(QByteArrayView cell);

}  // namespace rix

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
  // The same for a name given as bytes: a plain ASCII name without a
  // directory part (the common case when marking a whole list) is looked up
  // as it stands, any other through hasFile after decoding it as Big5.
  bool hasAsciiFile(QByteArrayView name);

  // Waits for (or reads) the directory's own listing. After it, plainFile
  // may be called from several threads at once.
  void readListing() { listing(root_); }
  // hasAsciiFile for a plain ASCII name without a directory part, touching
  // nothing: 1 when the directory holds it as a file, 0 when not, -1 when the
  // name is not plain and must go through hasAsciiFile. Needs readListing.
  int plainFile(QByteArrayView name) const;

private:
  // One directory's entries: folded names in one buffer, found through an
  // open-addressing table, so that a listing of tens of thousands of names
  // costs a few allocations.
  struct Listing {
    struct Slot {
      std::uint32_t off = 0;
      std::uint32_t len = 0;  // 0: empty slot
      std::uint32_t hash = 0;
      bool isFile = false;
    };
    QByteArray names;
    std::vector<Slot> table;
    QHash<QByteArray, QByteArray> realDirName;  // folded -> stored, directories only

    const Slot* find(QByteArrayView folded) const { return find(folded, HashOf(folded)); }
    const Slot* find(QByteArrayView folded, std::uint32_t hash) const;
  };
  static std::uint32_t HashOf(QByteArrayView folded);
  const Listing& listing(const QString& dir);
  static Listing Read(const QString& dir);

  QString root_;
  std::unique_ptr<Listing> rootListing_;  // apart, so that the common lookup finds it at once
  std::future<Listing> pendingRoot_;
  QHash<QString, Listing> listings_;
};

}  // namespace rix

#pragma once

#include <QHash>
#include <QString>

namespace rix {

// Which files a directory holds, from one listing, looked up without regard
// to ASCII case. Names with a sub-directory part list that sub-directory once
// too. Used to mark thousands of games without a file-system call per game.
class DirectoryIndex {
public:
  explicit DirectoryIndex(const QString& nativeDir);

  // True when dir + name (with "\" or "/" separators) names an existing file
  // that is not a directory. An empty name names the directory itself: false.
  bool hasFile(const QString& name);

private:
  struct Listing {
    QHash<QString, bool> isFile;  // folded name -> file (true) or directory (false)
    QHash<QString, QString> realName;
  };
  const Listing& listing(const QString& dir);

  QString root_;
  QHash<QString, Listing> listings_;
};

}  // namespace rix

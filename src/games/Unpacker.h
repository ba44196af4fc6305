#pragma once

#include <QString>
#include <QStringList>

namespace rix {

// An archive format the launch unpacks games from. The launch knows archives only through
// this, so that another format is added here alone.
class Unpacker {
public:
  virtual ~Unpacker() = default;
  // Whether a game file (by its name) is an archive of this format.
  virtual bool handles(const QString& gameFile) const = 0;
  // Every entry's name as the unpacking writes it: "/" separators, a directory's ending in "/",
  // one that would never be written empty.
  virtual QStringList entries(const QString& archive) const = 0;
  // Unpacks the entries matching a mask (the launch's mask rules) below `target`, which is
  // made when missing. False when the archive was refused before anything was written.
  virtual bool unpack(const QString& archive, const QString& target, const QString& mask) = 0;
};

}  // namespace rix

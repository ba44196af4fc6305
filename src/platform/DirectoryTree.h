#pragma once

#include <QByteArray>
#include <QString>

namespace rix {

// Removes the entry `name` of the directory open as `parentFd` and, when it is a directory,
// everything below it, however deep. Works relative to directory descriptors, never with
// whole paths, so depth is no limit; never follows a link (a link is removed itself) and
// keeps one directory open at a time. True when the entry is gone (or never was).
bool RemoveTreeAt(int parentFd, const QByteArray& name);

// The same for `relative` (components separated by "/", each opened without following links)
// below the directory `base`. Refuses "." and ".." components.
bool RemoveTreeBelow(const QString& base, const QString& relative);

// Removes everything inside the directory `dir` but the entry `keep`. `dir` itself is not
// followed when it is a link. True when all of it went.
bool ClearDirectory(const QString& dir, const QByteArray& keep);

}  // namespace rix

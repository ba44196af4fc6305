#pragma once

#include <QString>

namespace rix {

// The program's private temporary directory, <system temp>/RixFront-<user>/,
// where archives are unpacked. Nothing is ever unpacked or deleted outside it.
QString PrivateTempDirPath();

// Creates it with mode 0700 when missing. Refuses (returns false) a path that
// is a symbolic link or belongs to another user, since the system temp
// directory is shared.
bool EnsurePrivateTempDir(const QString& path);

}  // namespace rix

namespace rix {

// Removes what an earlier run left in the private temporary directory, unless
// another running copy of the program holds it: the first copy to start keeps
// a lock on it for its whole run. Returns whether it swept.
bool SweepPrivateTempDir(const QString& path);

}  // namespace rix

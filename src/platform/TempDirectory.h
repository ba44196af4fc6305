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

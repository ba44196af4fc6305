#pragma once

#include <QString>

namespace rix {

// The launch's command line before the final trim. Nothing is quoted and
// inner blanks stay: an empty before-part leaves two blanks after the program.
// Started in the game directory, the game goes by its bare name; otherwise
// the directory (which ends with a separator) and the name are joined.
QString BuildLaunchCommand(const QString& exe, const QString& before, const QString& romDir,
                           const QString& romFile, const QString& after, bool inGameDir);

// Whether a game file is a ZIP archive: its extension, from the last ".",
// lower-cased, is ".zip".
bool IsZipGame(const QString& romFile);

// The trimmed command (blanks and controls off both ends only).
QString TrimCommand(const QString& command);

}  // namespace rix

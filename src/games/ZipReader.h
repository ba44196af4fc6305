#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace rix {

// Results of ZipExtractMatching below zero. Whatever was unpacked before the walk stopped
// stays on disk.
enum ZipExtractError : int {
  kZipNoPath = -1,          // archive path or target directory empty
  kZipNotArchiveName = -2,  // archive path without "." or containing ".exe"
  kZipIsDirectory = -3,     // archive path names a directory
  kZipCannotRead = -4,      // archive missing or unreadable
  kZipNotZip = -5,          // file does not begin with a local header signature
  kZipBadDirectory = -6,    // no end-of-central-directory record, or a central header cut
                            // short or without its signature
  kZipBadLocalHeader = -7,  // a matching entry's local header (or data descriptor) missing
                            // or without its signature
  kZipDataOutOfRange = -8,  // a matching entry's data runs past the end of the file
  kZipRefused = -9,         // refused before anything was written: a name too long or too
                            // deep for the system, entries sharing data (a zip bomb), more
                            // than the free space or more entries than any game holds
};

// Name stored in the first central-directory header with "/" replaced by "\", at most 259
// bytes. Empty when the archive cannot be opened, has no central directory or no entry.
QByteArray ZipFirstEntryName(const QString& archive);

// Unpacks, in central-directory order, the entries whose stored name (with "\" separators)
// matches `mask` to targetDir + stored name; directory entries only make directories. Stops at
// the first matching entry that cannot be unpacked (method other than 0, 1, 6, 8, encrypted,
// unsafe name, corrupt data, CRC mismatch, output not writable, archive shrunk meanwhile).
// Returns how many matching entries were unpacked (directory entries included) or a negative
// ZipExtractError. Memory stays bounded whatever the entries' sizes. `touched`, when given,
// receives the names directly inside targetDir that the call wrote or wrote below.
int ZipExtractMatching(const QString& archive, const QString& targetDir, const QByteArray& mask,
                       QStringList* touched = nullptr);

// The same with the mask as text, compared with each entry's name as ZipEntryName reads it
// (UTF-8 or Big5), so that a member named in a list matches a UTF-8 entry by its characters.
int ZipUnpackMatching(const QString& archive, const QString& targetDir, const QString& mask,
                      QStringList* touched = nullptr);

// Every entry's name as the unpacking writes it: "/" separators, a directory's ending in "/",
// an unsafe one empty. Empty when the archive cannot be read.
QStringList ZipEntryTexts(const QString& archive);

// Whether the unpacking would take a stored name (Big5 bytes, "/" or "\" separators) at all:
// relative, without drive, "..", or NUL. A name it refuses must never be handed on as a path.
bool ZipNameIsSafe(const QByteArray& storedName);

// Empty or "*.*": everything. "*.ext": names whose part after the first "." is ext. Ending in
// "*": a final ".*" and then a final "*" or "?" dropped, names whose part before the first "."
// begins with the rest. Otherwise the whole name, path included. Letters a-z in any case.
bool ZipMaskMatches(const QByteArray& mask, const QByteArray& storedNameWithBackslashes);
// The same rules on text; letters A-Z in any case, every other character exactly.
bool ZipMaskMatchesText(const QString& mask, const QString& nameWithBackslashes);

}  // namespace rix

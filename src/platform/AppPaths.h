#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <memory>

namespace rix {

// Paths inside the program are texts as the catalogue writes them: "\" or "/"
// separators, maybe a drive. They become paths of this file system only at
// the file-system boundary (NativePath, then CaseResolver).

// A value holding no ":" (and, on this system, not starting with "/") is
// relative to the application directory, which ends with "/".
QString ApplyAppDirRule(const QString& value, const QString& appDir);

// "\" becomes "/"; a leading drive "X:" is dropped and the rest is taken from "/".
QString NativePath(const QString& path);

// Everything up to and including the last "\", "/" or ":"; empty when none.
QString DirectoryPart(const QString& path);
// Everything after the last "\", "/" or ":".
QString FileNamePart(const QString& path);

// Finds files whose names differ only in ASCII case from what the catalogue
// says, as a case-insensitive file system would. A path that exists as written
// is returned as it is; otherwise each missing component is looked up in its
// directory's names (read once per directory for the resolver's life, so keep
// a resolver for one operation only). The names of a directory that has not
// changed since they were read are shared between resolvers.
class CaseResolver {
public:
  QString resolve(const QString& nativePath);
  // The file resolve() finds for `nativePath` when it is there and is not a
  // directory; empty otherwise. A name looked up in a directory whose
  // listing is kept and still current is answered from the listing, with a
  // single look at the directory (and one at a file that is found).
  QString resolveFile(const QString& nativePath);

  struct Names;

private:
  const Names& names(const QString& dir);
  const Names& names(const QString& dir, const QByteArray& stamp);
  QHash<QString, std::shared_ptr<const Names>> names_;
};

// A name relative to a directory (a game, an archive member) as Windows reads
// it: "\" becomes "/", and "." and ".." parts are taken by the text alone, so
// "sub\..\x.rom" is "x.rom" whether or not "sub" exists. ".." parts that
// climb above the directory stay at the front.
QString CleanRelativeName(const QString& name);

// How a picker stores what the user chose, so that the catalogue's rules find
// it again: a path under `baseDir` (native, either way of writing it: as given
// or with its links resolved) becomes relative to it with "\" separators, as
// the catalogue's own rows are written; any other path stays whole. A folder
// keeps a final separator. Returns an empty text for a path outside `baseDir`
// when `insideOnly` is set.
QString PickedPath(const QString& chosen, const QString& baseDir, bool folder,
                   bool insideOnly = false);

// NativePath + case resolution, for one-off lookups.
QString ResolvePath(const QString& programPath);
// NativePath + CaseResolver::resolveFile, for one-off lookups.
QString ResolveFile(const QString& programPath);

// ASCII-only case-insensitive equality (other characters compare exactly).
bool EqualsIgnoringAsciiCase(const QString& a, const QString& b);

}  // namespace rix

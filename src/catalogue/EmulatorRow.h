#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace rix {

class GridData;

namespace emucol {

// Columns of the emulator table. Columns past the last are kept in the file
// and ignored.
enum : int {
  OptionsPage = 0,
  TreeKey = 1,
  Document = 2,
  Program = 3,
  GameList = 4,
  GameDir = 5,
  PictureDir = 6,
  CommandBefore = 7,
  CommandAfter = 8,
  StartInEmuDir = 9,
  StartInGameDir = 10,
  DirectoryMode = 11,
  WebLink = 12,
  Count = 13,
};

}  // namespace emucol

// One row of the emulator table, read once: each text cell trimmed of blanks
// and control bytes and decoded from Big5, each flag "Yes" in any case or
// not. Paths stay as the user wrote them ("\" separators, relative to the
// catalogue); the platform layer maps them onto the file system.
struct EmulatorRow {
  QString optionsPage;
  QByteArray treeKey;  // trimmed bytes; tree nodes point to it by number
  QString document;
  QString program;
  QString gameList;
  QString gameDir;
  QString pictureDir;
  QString commandBefore;
  QString commandAfter;
  bool startInEmuDir = false;
  bool startInGameDir = false;
  bool directoryMode = false;
  QByteArray webLink;  // the cell as written; the link rules work on its bytes

  static EmulatorRow Read(const GridData& table, int row);
};

// The header line of a new catalogue: the column captions, Big5, CR LF.
QByteArray NewCatalogueHeader();

}  // namespace rix

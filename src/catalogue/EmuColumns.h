#pragma once

namespace rix::emucol {

// Columns of the emulator table.
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
};

}  // namespace rix::emucol

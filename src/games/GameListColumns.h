#pragma once

namespace rix::gamecol {

// The columns of a game list that the program reads or writes; the others
// hold the user's own texts.
enum : int {
  Lamp = 0,     // the marker of a game whose file is present
  Game = 3,     // the game file, optionally ";" and an archive member
  Picture = 4,  // the picture file in the emulator's picture directory
};

}  // namespace rix::gamecol

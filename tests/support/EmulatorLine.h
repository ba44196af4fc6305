#pragma once

#include <QByteArray>
#include <QString>

#include "TestSupport.h"

namespace rixtest {

// One line of an emulator table from named values, for instance
// EmulatorLine({.key = "1", .list = "a.lst"}): the cells not named are empty
// and the three flags "No".
struct EmulatorLineCells {
  QString page = {}, key = {}, document = {}, program = {}, list = {}, gameDir = {},
          pictureDir = {}, before = {}, after = {};
  QString inEmuDir = "No", inGameDir = "No", directoryMode = "No";
  QString link = {};
};

inline QByteArray EmulatorLine(const EmulatorLineCells& c) {
  return TableLine({c.page, c.key, c.document, c.program, c.list, c.gameDir, c.pictureDir, c.before,
                    c.after, c.inEmuDir, c.inGameDir, c.directoryMode, c.link});
}

}  // namespace rixtest

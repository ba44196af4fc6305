#include "games/ZipUnpacker.h"

#include "games/LaunchCommand.h"
#include "games/ZipReader.h"

namespace rix {

bool ZipUnpacker::handles(const QString& gameFile) const { return IsZipGame(gameFile); }

QStringList ZipUnpacker::entries(const QString& archive) const { return ZipEntryTexts(archive); }

bool ZipUnpacker::unpack(const QString& archive, const QString& target, const QString& mask) {
  return ZipUnpackMatching(archive, target, mask) != kZipRefused;
}

}  // namespace rix

#pragma once

#include "games/Unpacker.h"

namespace rix {

// ZIP archives, by the extension ".zip" in any case, through the ZIP reader.
class ZipUnpacker : public Unpacker {
public:
  bool handles(const QString& gameFile) const override;
  QStringList entries(const QString& archive) const override;
  bool unpack(const QString& archive, const QString& target, const QString& mask) override;
};

}  // namespace rix

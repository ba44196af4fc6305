#include "games/GameArchives.h"

#include <QStringList>

#include "games/ZipUnpacker.h"

namespace rix {

GameArchives::GameArchives() { formats_.push_back(std::make_unique<ZipUnpacker>()); }

GameArchives::~GameArchives() = default;

Unpacker* GameArchives::formatFor(const QString& gameFile) const {
  for (const auto& format : formats_)
    if (format->handles(gameFile)) return format.get();
  return nullptr;
}

bool GameArchives::handles(const QString& gameFile) const { return formatFor(gameFile); }

QStringList GameArchives::entries(const QString& archive) const {
  const Unpacker* format = formatFor(archive);
  return format ? format->entries(archive) : QStringList();
}

bool GameArchives::unpack(const QString& archive, const QString& target, const QString& mask) {
  Unpacker* format = formatFor(archive);
  return format && format->unpack(archive, target, mask);
}

}  // namespace rix

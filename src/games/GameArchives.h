#pragma once

#include <memory>
#include <vector>

#include "games/Unpacker.h"

namespace rix {

// Every archive format a game may come in. The launch asks this one; it hands
// each archive to the first format that takes it. A new format is an
// Unpacker of its own and one line in GameArchives.cpp.
class GameArchives : public Unpacker {
public:
  GameArchives();
  ~GameArchives() override;

  bool handles(const QString& gameFile) const override;
  QStringList entries(const QString& archive) const override;
  bool unpack(const QString& archive, const QString& target, const QString& mask) override;

private:
  Unpacker* formatFor(const QString& gameFile) const;

  std::vector<std::unique_ptr<Unpacker>> formats_;
};

}  // namespace rix

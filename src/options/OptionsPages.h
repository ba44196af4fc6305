#pragma once

#include <QStringList>
#include <QStringView>

namespace rix {

// The option pages of the settings notebook, by name, in page order.
inline constexpr int kCommonPage = 0;
inline constexpr int kNeoRagePage = 1;
inline constexpr int kZsnesPage = 2;
QStringList OptionsPageNames();  // "Common", "NeoRage", "zSNES"

// The page an emulator's options-page cell asks for: the page whose name
// equals the trimmed cell without regard to case, else the common page.
int OptionsPageFor(QStringView cell);

}  // namespace rix

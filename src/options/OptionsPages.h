#pragma once

#include <QList>
#include <QStringList>
#include <QStringView>

class QStackedWidget;

namespace rix {

class OptionsPage;

// The pages of the settings notebook, in page order, come from one list in
// OptionsPages.cpp; the first is the common page that every unknown name
// falls back to. The other indices are checked against that list there.
inline constexpr int kCommonPage = 0;
inline constexpr int kNeoRagePage = 1;
inline constexpr int kZsnesPage = 2;
QStringList OptionsPageNames();  // "Common", "NeoRage", "zSNES"

// The page an emulator's options-page cell asks for: the page whose name
// equals the trimmed cell without regard to case, else the common page.
int OptionsPageFor(QStringView cell);

// Makes every page in the list's order and adds it to the stack.
QList<OptionsPage*> AddOptionsPages(QStackedWidget* stack);

}  // namespace rix

#include "options/OptionsPages.h"

#include <QStackedWidget>
#include <array>
#include <string_view>

#include "options/CommonPage.h"
#include "options/NeoRagePage.h"
#include "options/OptionsPage.h"
#include "options/ZsnesPage.h"

namespace rix {

namespace {

struct PageKind {
  std::u16string_view name;
  OptionsPage* (*make)(QWidget* parent);
};

template <class Page>
constexpr PageKind Kind() {
  return {Page::kName, [](QWidget* parent) -> OptionsPage* { return new Page(parent); }};
}

// A new page is a class of its own with a kName and one line here.
constexpr std::array kPages = {Kind<CommonPage>(), Kind<NeoRagePage>(), Kind<ZsnesPage>()};

static_assert(kPages[kCommonPage].name == CommonPage::kName);
static_assert(kPages[kNeoRagePage].name == NeoRagePage::kName);
static_assert(kPages[kZsnesPage].name == ZsnesPage::kName);

}  // namespace

QStringList OptionsPageNames() {
  QStringList names;
  for (const PageKind& page : kPages)
    names << QStringView(page.name.data(), qsizetype(page.name.size())).toString();
  return names;
}

int OptionsPageFor(QStringView cell) {
  // Table cells are trimmed of every control character and blank.
  qsizetype begin = 0, end = cell.size();
  while (begin < end && cell[begin].unicode() < 33) ++begin;
  while (end > begin && cell[end - 1].unicode() < 33) --end;
  const QStringView name = cell.mid(begin, end - begin);
  for (int i = 0; i < int(kPages.size()); ++i)
    if (name.compare(QStringView(kPages[i].name.data(), qsizetype(kPages[i].name.size())),
                     Qt::CaseInsensitive) == 0)
      return i;
  return kCommonPage;
}

QList<OptionsPage*> AddOptionsPages(QStackedWidget* stack) {
  QList<OptionsPage*> pages;
  for (const PageKind& kind : kPages) {
    pages << kind.make(stack);
    stack->addWidget(pages.back());
  }
  return pages;
}

}  // namespace rix

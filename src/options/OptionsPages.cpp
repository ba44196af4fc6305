#include "options/OptionsPages.h"

namespace rix {

QStringList OptionsPageNames() {
  return {QStringLiteral("Common"), QStringLiteral("NeoRage"), QStringLiteral("zSNES")};
}

int OptionsPageFor(QStringView cell) {
  // Table cells are trimmed of every control character and blank.
  qsizetype begin = 0, end = cell.size();
  while (begin < end && cell[begin].unicode() < 33) ++begin;
  while (end > begin && cell[end - 1].unicode() < 33) --end;
  const QStringView name = cell.mid(begin, end - begin);
  const QStringList names = OptionsPageNames();
  for (int i = 0; i < names.size(); ++i)
    if (name.compare(names[i], Qt::CaseInsensitive) == 0) return i;
  return kCommonPage;
}

}  // namespace rix

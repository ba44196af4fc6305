#include "widgets/Dialogs.h"

namespace rix {

QString Dialogs::CaptionOf(Kind kind) {
  switch (kind) {
    case Kind::Error:
      return QStringLiteral("錯誤");
    case Kind::Confirm:
      return QStringLiteral("確認");
    case Kind::Info:
      return QStringLiteral("資訊");
  }
  return {};
}

QStringList Dialogs::ButtonTexts(int buttons) {
  QStringList out;
  if (buttons & Yes) out << QStringLiteral("是(&Y)");
  if (buttons & No) out << QStringLiteral("否(&N)");
  if (buttons & Ok) out << QStringLiteral("確定");
  if (buttons & Cancel) out << QStringLiteral("取消");
  return out;
}

QString Dialogs::QtFilter(const QString& filter) {
  const QStringList parts = filter.split(u'|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
    QString patterns = parts[i + 1];
    patterns.replace(u';', u' ');
    entries << parts[i] + QStringLiteral(" (") + patterns + u')';
  }
  return entries.join(QStringLiteral(";;"));
}

}  // namespace rix

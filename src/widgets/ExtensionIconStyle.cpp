#include "widgets/ExtensionIconStyle.h"

#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QStyleOption>

#include "widgets/PictureFile.h"

namespace rix {

ExtensionIconStyle::ExtensionIconStyle() = default;

QIcon ExtensionIconStyle::standardIcon(StandardPixmap standardIcon, const QStyleOption* option,
                                       const QWidget* widget) const {
  const char* stem = nullptr;
  QList<int> sizes;
  const bool rtl = option ? option->direction == Qt::RightToLeft : QGuiApplication::isRightToLeft();
  if (standardIcon == SP_ToolBarHorizontalExtensionButton) {
    stem = rtl ? "toolbar-ext-h-rtl-" : "toolbar-ext-h-";
    sizes = {8, 16, 32};
  } else if (standardIcon == SP_ToolBarVerticalExtensionButton) {
    stem = "toolbar-ext-v-";
    sizes = {5, 10, 20};
  }
  // Only Qt's own styles draw these arrows from its pictures; any other
  // style decides for itself.
  const QString base = baseStyle()->name();
  const bool qtStyle = base.compare(u"fusion", Qt::CaseInsensitive) == 0 ||
                       base.compare(u"windows", Qt::CaseInsensitive) == 0;
  if (!stem || !qtStyle) return QProxyStyle::standardIcon(standardIcon, option, widget);
  QIcon icon;
  for (const int size : sizes) {
    const QImage image =
        PictureFile::ReadAs(QStringLiteral(":/qt-project.org/styles/commonstyle/images/%1%2.png")
                                .arg(QLatin1String(stem))
                                .arg(size),
                            "png");
    if (image.isNull()) return QProxyStyle::standardIcon(standardIcon, option, widget);
    icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

}  // namespace rix

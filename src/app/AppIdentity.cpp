#include "app/AppIdentity.h"

// Resources compiled into a static library are linked in only when named.
static void InitAppIcons() { Q_INIT_RESOURCE(AppIcons); }

namespace rix {

QString AppId() { return QStringLiteral("example.rixfront.RixFrontEnd"); }

QIcon AppIcon() {
  InitAppIcons();
  QIcon icon;
  // Named as PNG, the pictures are decoded without probing every image format.
  for (const char* size : {"48", "128", "256"})
    icon.addPixmap(QPixmap(QStringLiteral(":/icons/%1.png").arg(QLatin1String(size)), "PNG"));
  return icon;
}

}  // namespace rix

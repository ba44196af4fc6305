#include "app/AppIdentity.h"

// Resources compiled into a static library are linked in only when named.
static void InitAppIcons() { Q_INIT_RESOURCE(AppIcons); }

namespace rix {

QString AppId() { return QStringLiteral("example.rixfront.RixFrontEnd"); }

QIcon AppIcon() {
  InitAppIcons();
  QIcon icon;
  // With its size given, a picture is decoded only when it is first needed.
  for (int size : {48, 128, 256})
    icon.addFile(QStringLiteral(":/icons/%1.png").arg(size), QSize(size, size));
  return icon;
}

}  // namespace rix

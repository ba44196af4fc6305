#include "app/AppIdentity.h"

#include <QPixmap>

#include "widgets/PictureFile.h"

// Resources compiled into a static library are linked in only when named.
static void InitAppIcons() { Q_INIT_RESOURCE(AppIcons); }

namespace rix {

QString AppId() { return QStringLiteral("example.rixfront.RixFrontEnd"); }

QIcon AppIcon() {
  InitAppIcons();
  QIcon icon;
  for (const char* size : {"48", "128", "256"})
    icon.addPixmap(QPixmap::fromImage(
        PictureFile::ReadAs(QStringLiteral(":/icons/%1.png").arg(QLatin1String(size)), "png")));
  return icon;
}

}  // namespace rix

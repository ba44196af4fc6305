#include <QDir>
#include <QStandardPaths>

#include "app/RixApplication.h"
#include "app/TMainForm.h"
#include "banner/TAboutForm.h"
#include "platform/AppDirectory.h"
#include "platform/ProcessStarter.h"
#include "platform/TempDirectory.h"
#include "widgets/FontSetup.h"
#include "widgets/QtDialogs.h"

int main(int argc, char** argv) {
  rix::RixApplication app(argc, argv);
  rix::InstallFontSubstitutions();
  // The splash stays up through the slow steps of creating the main window.
  auto* splash = new TAboutForm;
  splash->show();
  splash->repaint();
  QApplication::processEvents();
  app.setApplicationName(QStringLiteral("RixFront"));

  QStringList args = app.arguments();
  args.removeFirst();
  const QString dataDir =
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/RixFront";
  const rix::AppDirectoryChoice where =
      rix::ChooseAppDirectory(args, QCoreApplication::applicationDirPath(), dataDir);

  rix::QtDialogs dialogs;
  app.setDialogs(&dialogs);

  rix::DetachedProcessStarter starter;
  // Unpacked games a crashed run left behind go first.
  rix::SweepPrivateTempDir(rix::PrivateTempDirPath());

  MainFormSetup setup;
  setup.appDir = where.dir;
  setup.tempDir = rix::PrivateTempDirPath();
  setup.dialogs = &dialogs;
  setup.splash = splash;
  setup.starter = &starter;
  TMainForm form(setup);
  dialogs.setParent(&form);
  form.show();
  return app.exec();
}

#include <QDir>
#include <QStandardPaths>
#include <cstdio>

#include "app/AppIdentity.h"
#include "app/RixApplication.h"
#include "app/StartArguments.h"
#include "app/TMainForm.h"
#include "banner/TAboutForm.h"
#include "catalogue/EmulatorRow.h"
#include "platform/AppDirectory.h"
#include "platform/ProcessStarter.h"
#include "platform/TempDirectory.h"
#include "platform/UnpackArea.h"
#include "widgets/ExtensionIconStyle.h"
#include "widgets/FontSetup.h"
#include "widgets/QtDialogs.h"
#include "widgets/QtTranslations.h"

int main(int argc, char** argv) {
  const QString dataDir =
      QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/RixFront";
  // Read before the application object exists, so that --help, --version and
  // a wrong directory are answered without a display or a window.
  QStringList rawArgs;
  for (int i = 0; i < argc; ++i) rawArgs << QString::fromLocal8Bit(argv[i]);
  const rix::StartArguments start = rix::StartArguments::Parse(rawArgs, dataDir);
  if (start.action != rix::StartArguments::Action::Run) {
    std::fputs(start.text.toLocal8Bit().constData(),
               start.action == rix::StartArguments::Action::Fail ? stderr : stdout);
    return start.exitCode;
  }

  rix::RixApplication app(argc, argv);
  QApplication::setStyle(new rix::ExtensionIconStyle);
  QGuiApplication::setDesktopFileName(rix::AppId());
  rix::InstallFontSubstitutions();
  rix::InstallQtTranslations();
  // The splash stays up through the slow steps of creating the main window.
  auto* splash = new TAboutForm;
  splash->show();
  splash->repaint();
  QApplication::processEvents();
  app.setApplicationName(QStringLiteral("RixFront"));

  const rix::AppDirectoryChoice where = rix::ChooseAppDirectory(
      start.directory, QCoreApplication::applicationDirPath(), dataDir, rix::NewCatalogueHeader());

  rix::QtDialogs dialogs;
  app.setDialogs(&dialogs);

  rix::DetachedProcessStarter starter;
  // Unpacked games a crashed run left behind go first.
  rix::UnpackArea::Sweep(rix::PrivateTempDirPath());

  MainFormSetup setup;
  setup.appDir = where.dir;
  setup.tempDir = rix::PrivateTempDirPath();
  setup.dialogs = &dialogs;
  setup.splash = splash;
  setup.starter = &starter;
  setup.settingsDir =
      QStandardPaths::writableLocation(QStandardPaths::ConfigLocation) + "/RixFront/";
  TMainForm form(setup);
  // Decoding the icon's pictures would hold up the window the user waits for.
  form.afterFirstPaint = [] { QApplication::setWindowIcon(rix::AppIcon()); };
  dialogs.setParent(&form);
  form.show();
  return app.exec();
}

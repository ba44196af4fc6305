#pragma once

class QTranslator;

namespace rix {

// Qt's own dialogs (open, save, print, the standard buttons) in Traditional
// Chinese, as every other text of the program is, whatever the user's locale:
// Qt's translation files for zh_TW, when installed. Call once after the
// application object exists; returns the translator installed (owned by the
// application), or nullptr when the files are missing.
QTranslator* InstallQtTranslations();

}  // namespace rix

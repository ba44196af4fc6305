#include "widgets/FontSetup.h"

#include <QFont>
#include <QStringList>

namespace rix {

void InstallFontSubstitutions() {
  const QString ming = QStringLiteral("AR PL UMing TW");
  const QString mingMono = QStringLiteral("AR PL UMing TW MBE");
  QFont::insertSubstitutions(QStringLiteral("新細明體"), {ming, QStringLiteral("AR PL UMing CN")});
  QFont::insertSubstitutions(QStringLiteral("PMingLiU"), {ming});
  QFont::insertSubstitutions(QStringLiteral("細明體"), {mingMono, ming});
  QFont::insertSubstitutions(QStringLiteral("MingLiU"), {mingMono, ming});
  // Latin faces fall back on the Ming face for Chinese characters.
  QFont::insertSubstitutions(QStringLiteral("Times New Roman"),
                             {QStringLiteral("Liberation Serif"), ming});
  QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                             {QStringLiteral("Liberation Sans"), ming});
  QFont::insertSubstitutions(QStringLiteral("Arial"), {QStringLiteral("Liberation Sans"), ming});
  QFont::insertSubstitutions(QStringLiteral("Fixedsys"),
                             {QStringLiteral("DejaVu Sans Mono"), ming});
}

}  // namespace rix

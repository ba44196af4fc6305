#include "options/NeoRageOptions.h"

#include <algorithm>

namespace rix {

NeoRageOptions ParseNeoRageSwitches(const QString& command, NeoRageOptions current) {
  current.vsync = command.contains(QLatin1String("-v"));
  const qsizetype f = command.indexOf(QLatin1String("-f"));
  if (f >= 0) {
    // The one character after the first "-f", whole even when it needs two
    // UTF-16 units; empty when "-f" ends the text.
    const qsizetype at = f + 2;
    qsizetype len = at < command.size() ? 1 : 0;
    if (len && command.at(at).isHighSurrogate() && at + 1 < command.size()) len = 2;
    current.frameskip = command.mid(at, len);
  }
  if (command.contains(QLatin1String("-vga"))) current.videoMode = 1;
  if (command.contains(QLatin1String("-modex"))) current.videoMode = 2;
  current.skipAnalysis = command.contains(QLatin1String("-noanalys"));
  current.scanlines = command.contains(QLatin1String("-s"));
  current.joystick = command.contains(QLatin1String("-j"));
  return current;
}

QString BuildNeoRageSwitches(const NeoRageOptions& options) {
  QString text;
  if (options.vsync) text += QLatin1String("-v ");
  const int skip = CounterPosition(options.frameskip, kFrameskipMin, kFrameskipMax);
  if (skip > 0) text += QStringLiteral("-f%1 ").arg(skip);
  if (options.videoMode == 1) text += QLatin1String("-vga ");
  if (options.videoMode == 2) text += QLatin1String("-modex ");
  if (options.skipAnalysis) text += QLatin1String("-noanalys ");
  if (options.scanlines) text += QLatin1String("-s ");
  if (options.joystick) text += QLatin1String("-j ");
  return text.trimmed();
}

int CounterPosition(const QString& text, int min, int max) {
  const QString digits = text.trimmed();
  if (digits.isEmpty()) return min;
  for (QChar c : digits)
    if (c < u'0' || c > u'9') return min;
  qsizetype lead = 0;
  while (lead + 1 < digits.size() && digits.at(lead) == u'0') ++lead;
  // Ten digits and more would overflow; they lie above any range anyway.
  if (digits.size() - lead > 9) return max;
  return std::clamp(digits.mid(lead).toInt(), min, max);
}

}  // namespace rix

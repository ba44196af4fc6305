#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace rix {

// Text crosses between Big5 bytes (files, cells) and Unicode (the screen)
// only here. A character with no Big5 code becomes "?".
QString Big5Decode(QByteArrayView bytes);
QByteArray Big5Encode(QStringView text);

}  // namespace rix

#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace rix {

// Text crosses between Big5 bytes (files, cells) and Unicode (the screen)
// only here and, for documents that must keep every byte, in Big5Codec.h. A
// character with no Big5 code becomes "?".
QString Big5Decode(QByteArrayView bytes);
QByteArray Big5Encode(QStringView text);

// The cell text of a file name as the file system stores it: a UTF-8 name
// becomes its Big5 form (a character with no Big5 code becomes "?"); bytes
// that are not UTF-8 are taken to be Big5 already and kept as they are.
QByteArray Big5OfFileName(QByteArrayView name);
// The name a cell shows for a file named `name` (UTF-16): equal to name
// unless it holds characters that Big5 cannot carry.
QString Big5RoundTrip(const QString& name);

}  // namespace rix

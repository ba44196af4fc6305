#include "widgets/PictureFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QImageReader>
#include <QStringList>

#include "platform/FileError.h"
#include "platform/FileOps.h"
#include "widgets/PcxCodec.h"

namespace rix {

namespace {

struct TypeInfo {
  PictureFile::Type type;
  const char* label;       // shown in the open dialog
  const char* qtFormat;    // Qt's reader; null for the program's own
  const char* failureExt;  // the name used in the failure text
  QStringList extensions;
};

const QList<TypeInfo>& Types() {
  static const QList<TypeInfo> types = {
      {PictureFile::Type::Bmp, "BMP", "bmp", "bmp", {"bmp"}},
      {PictureFile::Type::Gif, "GIF", "gif", "gif", {"gif"}},
      {PictureFile::Type::Jpeg, "JPEG", "jpeg", "jpg", {"jpg", "jpeg"}},
      {PictureFile::Type::Pcx, "PCX", nullptr, "pcx", {"pcx"}},
      {PictureFile::Type::Png, "PNG", "png", "png", {"png"}},
      {PictureFile::Type::Tiff, "TIFF", "tiff", "tif", {"tif", "tiff"}},
  };
  return types;
}

const TypeInfo* InfoOf(PictureFile::Type type) {
  for (const TypeInfo& info : Types())
    if (info.type == type) return &info;
  return nullptr;
}

bool Readable(const TypeInfo& info) {
  return !info.qtFormat || QImageReader::supportedImageFormats().contains(info.qtFormat);
}

// PCX files are small by nature; this only stops a stray huge file from
// being pulled into memory whole.
constexpr qint64 kMaxPcxFileSize = qint64(512) * 1024 * 1024;

QImage ReadPcx(const QByteArray& bytes) {
  if (bytes.size() > kMaxPcxFileSize) return {};
  return PcxCodec::Decode(bytes);
}

QImage ReadWithQt(const QByteArray& bytes, const char* format) {
  QBuffer buffer;
  buffer.setData(bytes);
  buffer.open(QIODevice::ReadOnly);
  QImageReader reader(&buffer, format);
  if (format) reader.setAutoDetectImageFormat(false);
  return reader.read();
}

QImage ReadWithQt(const QString& path, const char* format) {
  QImageReader reader(path, format);
  if (format) reader.setAutoDetectImageFormat(false);
  return reader.read();
}

QString FailureText(PictureFile::Type type, const char* doing) {
  const TypeInfo* info = InfoOf(type);
  return info ? QStringLiteral("%1 %2 file failed")
                    .arg(QLatin1String(doing), QLatin1String(info->failureExt))
              : QString();
}

}  // namespace

PictureFile::Type PictureFile::TypeOf(const QString& path) {
  const QString ext = QFileInfo(path).suffix().toLower();
  for (const TypeInfo& info : Types())
    if (info.extensions.contains(ext)) return info.type;
  return Type::Unknown;
}

QImage PictureFile::ReadAs(const QString& path, const char* qtFormat) {
  return ReadWithQt(path, qtFormat);
}

QString PictureFile::ReadFailureText(Type type) { return FailureText(type, "Reading"); }
QString PictureFile::WriteFailureText(Type type) { return FailureText(type, "Writing"); }

QImage PictureFile::Read(const QString& path, QString* failureText) {
  const Type type = TypeOf(path);
  const TypeInfo* info = InfoOf(type);
  // Read by the file layer, so that a FIFO or a device named as a picture is
  // refused at once instead of blocking or being read without end.
  QByteArray bytes;
  try {
    if (type == Type::Pcx && StampOf(path).size > kMaxPcxFileSize) {
      if (failureText) *failureText = ReadFailureText(type);
      return {};
    }
    ReadFileInto(path, bytes);
  } catch (const FileError& e) {
    if (failureText)
      *failureText = e.code() == 3 && FileExists(path) ? e.text() : ReadFailureText(type);
    return {};
  }
  QImage image;
  if (info) image = info->qtFormat ? ReadWithQt(bytes, info->qtFormat) : ReadPcx(bytes);
  if (image.isNull()) image = ReadWithQt(bytes, nullptr);
  if (failureText) *failureText = image.isNull() ? ReadFailureText(type) : QString();
  return image;
}

QString PictureFile::Filter() {
  QStringList all;
  QStringList each;
  for (const TypeInfo& info : Types()) {
    if (!Readable(info)) continue;
    QStringList patterns;
    for (const QString& ext : info.extensions) patterns << "*." + ext;
    all << patterns;
    each << QStringLiteral("%1 (%2)").arg(QLatin1String(info.label), patterns.join(' '));
  }
  return QStringLiteral("All Media (%1);;").arg(all.join(' ')) + each.join(";;");
}

}  // namespace rix

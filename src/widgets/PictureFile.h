#pragma once

#include <QImage>
#include <QString>

namespace rix {

// Reads a picture file with the decoder its extension names.
class PictureFile {
public:
  enum class Type { Unknown, Bmp, Gif, Jpeg, Pcx, Png, Tiff };

  // By the extension, without regard to case: .bmp .gif .jpg .jpeg .pcx
  // .png .tif .tiff; anything else is Unknown.
  static Type TypeOf(const QString& path);

  // "Reading <ext> file failed" for the six known types; empty for Unknown.
  static QString ReadFailureText(Type type);
  // "Writing <ext> file failed", likewise.
  static QString WriteFailureText(Type type);

  // Decodes the file. The extension's decoder is tried first; a file whose
  // content is some other picture format Qt knows (a PNG saved as .bmp) is
  // still shown, since a misnamed picture is not a broken one. A null image
  // means failure, and *failureText (when given) is set to the text for the
  // extension: empty for an unknown one.
  static QImage Read(const QString& path, QString* failureText = nullptr);

  // Decodes a file known to be of Qt's format `qtFormat` ("bmp", "png"), with
  // that reader only: one that may guess asks every installed picture plugin
  // first, loading each of them.
  static QImage ReadAs(const QString& path, const char* qtFormat);

  // Open-dialog filter of the readable types, "All Media (...)" first.
  static QString Filter();
};

}  // namespace rix

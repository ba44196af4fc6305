#include "platform/FileError.h"

#include <QFileInfo>
#include <cerrno>

namespace rix {

FileError FileError::FromErrno(int err, const QString& nativePath) {
  switch (err) {
    case ENOENT:
      // The runtime tells a missing file from a missing directory.
      if (QFileInfo(QFileInfo(nativePath).absolutePath()).isDir())
        return FileError(QStringLiteral("找不到檔案"), 2);
      return FileError(QStringLiteral("不正確檔案名稱"), 3);
    case ENOTDIR:
    case ENAMETOOLONG:
    case EINVAL:
      return FileError(QStringLiteral("不正確檔案名稱"), 3);
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR:
    case ETXTBSY:
      return FileError(QStringLiteral("檔案拒絕存取"), 5);
    default:
      return FileError(QStringLiteral("輸出入錯誤 %1").arg(err), err);
  }
}

}  // namespace rix

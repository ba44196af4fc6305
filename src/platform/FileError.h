#pragma once

#include <QString>
#include <exception>

namespace rix {

// A failed file operation, carrying the text the user sees in the error box.
// Thrown by the file layer; one catch at event dispatch shows it and ends the
// action.
class FileError : public std::exception {
public:
  explicit FileError(QString text, int code = 0) : text_(std::move(text)), code_(code) {}

  const QString& text() const { return text_; }
  int code() const { return code_; }
  const char* what() const noexcept override { return "file error"; }

  // The runtime's texts: "找不到檔案" (missing file), "不正確檔案名稱" (missing
  // directory or bad name), "檔案拒絕存取" (access refused), "輸出入錯誤 %d".
  static FileError FromErrno(int err, const QString& nativePath);

private:
  QString text_;
  int code_;
};

}  // namespace rix

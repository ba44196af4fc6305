#include "widgets/ScriptedDialogs.h"

#include <QPrinter>

namespace rix {

std::optional<QVariant> ScriptedDialogs::next(Shown& s) {
  if (answers_.empty()) {
    s.unscripted = true;
    return std::nullopt;
  }
  QVariant a = answers_.front();
  answers_.pop_front();
  return a;
}

int ScriptedDialogs::messageBox(Kind kind, const QString& text, int buttons) {
  Shown s;
  s.kind = kind == Kind::Error     ? QStringLiteral("error")
           : kind == Kind::Confirm ? QStringLiteral("confirm")
                                   : QStringLiteral("info");
  s.caption = CaptionOf(kind);
  s.text = text;
  s.buttons = ButtonTexts(buttons);
  const auto a = next(s);
  shown_.append(s);
  if (a && a->isValid()) return a->toInt();
  return (buttons & Cancel) ? Cancel : (buttons & No) ? No : (buttons & Ok) ? Ok : Yes;
}

std::optional<QString> ScriptedDialogs::textAnswer(Shown s) {
  const auto a = next(s);
  shown_.append(s);
  if (!a || !a->isValid()) return std::nullopt;
  return a->toString();
}

std::optional<QString> ScriptedDialogs::inputQuery(const QString& title, const QString& prompt,
                                                   const QString& text, int maxLength) {
  Shown s;
  s.kind = QStringLiteral("input");
  s.caption = title;
  s.text = prompt;
  s.preset = text;
  auto r = textAnswer(s);
  if (r && maxLength > 0) r->truncate(maxLength);
  return r;
}

std::optional<QString> ScriptedDialogs::openFile(const FileRequest& request) {
  Shown s;
  s.kind = QStringLiteral("open");
  s.caption = request.title;
  s.text = request.filter;
  s.preset = request.initialDirectory;
  s.defaultSuffix = request.defaultSuffix;
  s.executables = request.executables;
  return textAnswer(s);
}

std::optional<QString> ScriptedDialogs::saveFile(const FileRequest& request) {
  Shown s;
  s.kind = QStringLiteral("save");
  s.caption = request.title;
  s.text = request.filter;
  s.preset = request.initialDirectory;
  s.fileName = request.fileName;
  s.defaultSuffix = request.defaultSuffix;
  return textAnswer(s);
}

std::optional<QString> ScriptedDialogs::browseFolder(const QString& title, const QString& caption,
                                                     const QString& start) {
  Shown s;
  s.kind = QStringLiteral("folder");
  s.caption = caption;
  s.text = title;
  s.preset = start;
  return textAnswer(s);
}

std::optional<Dialogs::PrintAnswer> ScriptedDialogs::printDialog(QPrinter& printer,
                                                                 const PrintRequest& request) {
  Shown s;
  s.kind = QStringLiteral("print");
  s.selectionOffered = request.selectionOffered;
  const auto a = next(s);
  shown_.append(s);
  if (!a || !a->isValid()) return std::nullopt;
  const QVariantMap m = a->toMap();
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(m.value(QStringLiteral("pdf")).toString());
  PrintAnswer answer;
  answer.selectionOnly = request.selectionOffered && m.value(QStringLiteral("selection")).toBool();
  return answer;
}

}  // namespace rix

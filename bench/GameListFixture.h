#pragma once

// Catalogues with long game lists for the benches that select, sort, find and
// start: a list of about 60 bytes a row, a game directory whose file names
// differ in case from the list's, half of them games the list names.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QStringList>
#include <cstdio>

#include "platform/Big5.h"

namespace rixbench {

inline bool WriteBytes(const QString& path, const QByteArray& bytes) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QFile f(path);
  return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline QByteArray TableRow(const QStringList& cells) {
  QByteArray line;
  for (int i = 0; i < cells.size(); ++i) {
    if (i) line += ',';
    line += cells[i].isEmpty() ? QByteArray("\"\"") : rix::Big5Encode(cells[i]);
  }
  return line + "\r\n";
}

inline QByteArray Number6(int n) { return QByteArray::number(n).rightJustified(6, '0'); }

// Marker, name, year, game file, picture, maker. Game files are
// <prefix><number>.zip, pictures <prefix><number>.png.
inline QByteArray MakeGameList(int rows, const QByteArray& prefix) {
  const QByteArray names[] = {
      rix::Big5Encode(QStringLiteral("星際飛龍")), rix::Big5Encode(QStringLiteral("武士魂二")),
      rix::Big5Encode(QStringLiteral("快打小子")), rix::Big5Encode(QStringLiteral("雷電戰機")),
      rix::Big5Encode(QStringLiteral("三國志")),   rix::Big5Encode(QStringLiteral("合金彈頭")),
      rix::Big5Encode(QStringLiteral("拳皇")),     "Space Racer"};
  const QByteArray makers[] = {rix::Big5Encode(QStringLiteral("示範工作室")),
                               rix::Big5Encode(QStringLiteral("光榮株式會社")), "SNK Corp",
                               rix::Big5Encode(QStringLiteral("卡普空公司"))};
  QByteArray out =
      TableRow({"", QStringLiteral("名稱"), QStringLiteral("年份"), QStringLiteral("檔案"),
                QStringLiteral("圖片"), QStringLiteral("製作")});
  out.reserve(static_cast<qsizetype>(rows) * 64);
  for (int r = 0; r < rows; ++r) {
    // Rows in a scattered order, as lists gathered by hand are.
    const int k = static_cast<int>((static_cast<long long>(r) * 7919) % rows);
    const QByteArray n = Number6(k);
    out += "\"\",";
    out += names[k % 8] + ' ' + QByteArray::number(k % 9973) + ',';
    out += QByteArray::number(1985 + k % 20) + ',';
    out += prefix + n + ".zip,";
    out += prefix + n + ".png,";
    out += makers[k % 4] + "\r\n";
  }
  return out;
}

// `files` empty files: the even numbers are games of the list, in another
// case than the list writes them; the odd ones are files the list does not
// name.
inline bool MakeGameDir(const QString& dir, int files, const QByteArray& prefix) {
  QDir().mkpath(dir);
  const QByteArray base = QFile::encodeName(dir.endsWith(u'/') ? dir : dir + u'/');
  const QByteArray upper = prefix.toUpper();
  for (int i = 0; i < files; ++i) {
    const QByteArray name =
        i % 2 == 0 ? upper + Number6(i) + ".Zip" : "Other" + prefix + Number6(i) + ".zip";
    std::FILE* f = std::fopen((base + name).constData(), "wb");
    if (!f) return false;
    std::fclose(f);
  }
  return true;
}

inline bool MakePicture(const QString& path, QRgb colour) {
  QDir().mkpath(QFileInfo(path).absolutePath());
  QImage img(320, 240, QImage::Format_RGB32);
  img.fill(colour);
  return img.save(path, "PNG");
}

// One emulator of a catalogue: its list file and game directory relative to
// the application directory, written with "\" as users write them.
struct FixtureEmulator {
  QString list;
  QString gameDir;
};

inline QByteArray MakeCatalogue(const QList<FixtureEmulator>& emulators) {
  QByteArray table = TableRow(
      {"頁", "鍵", "說明", "模擬器", "列表", "遊戲", "圖片", "前", "後", "9", "10", "11", "網"});
  int key = 1;
  for (const FixtureEmulator& e : emulators) {
    table += TableRow({"Common", QString::number(key++), "", "emu\\run", e.list, e.gameDir,
                       "pics\\", "-b", "", "No", "No", "No", "http://example.org/"});
  }
  return table;
}

// The catalogue of one emulator, whose list is lists\a.lst and games games\.
inline QList<FixtureEmulator> OneEmulator() {
  QList<FixtureEmulator> emus;
  emus.append({QStringLiteral("lists\\a.lst"), QStringLiteral("games\\")});
  return emus;
}

inline QByteArray MakeTree(int emulators) {
  QByteArray tree;
  for (int i = 1; i <= emulators; ++i)
    tree += "Emu" + QByteArray::number(i) + ',' + QByteArray::number(i) + "\r\n";
  return tree;
}

}  // namespace rixbench

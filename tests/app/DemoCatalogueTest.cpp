// The demo catalogue is data that ships with the program: these tests make
// sure it is what the program expects to read, and that every file a row or a
// list points at is really there (except the one list left out on purpose).

#include <gtest/gtest.h>

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QImage>
#include <QImageReader>
#include <QProcess>
#include <QSet>
#include <QStandardPaths>
#include <QStringDecoder>

#include "TestSupport.h"

namespace {

using Row = QList<QByteArray>;

const QString kDemo = QStringLiteral(RIX_SOURCE_DIR "/demo/catalogue/");

QByteArray Trim(const QByteArray& cell) {
  qsizetype b = 0, e = cell.size();
  while (b < e && static_cast<unsigned char>(cell[b]) < 33) ++b;
  while (e > b && static_cast<unsigned char>(cell[e - 1]) < 33) --e;
  return cell.mid(b, e - b);
}

bool IsYes(const QByteArray& cell) { return Trim(cell).toLower() == "yes"; }

// Splits a file into lines, insisting on CR LF after every line.
QList<QByteArray> CrLfLines(const QByteArray& bytes, const QString& name) {
  QList<QByteArray> lines = bytes.split('\n');
  EXPECT_TRUE(bytes.endsWith("\r\n")) << name.toStdString();
  if (!lines.isEmpty() && lines.last().isEmpty()) lines.removeLast();
  for (qsizetype i = 0; i < lines.size(); ++i) {
    EXPECT_TRUE(lines[i].endsWith('\r')) << name.toStdString() << " line " << i + 1;
    lines[i].chop(1);
    EXPECT_FALSE(lines[i].contains('\r')) << name.toStdString() << " line " << i + 1;
  }
  return lines;
}

void ExpectCleanBig5(const QByteArray& bytes, const QString& name) {
  QStringDecoder decoder("Big5");
  const QString text = decoder.decode(bytes);
  EXPECT_FALSE(decoder.hasError()) << name.toStdString();
  EXPECT_FALSE(text.contains(QChar::ReplacementCharacter)) << name.toStdString();
}

// Fields of one table line: a field that starts with a double quote runs to
// the next double quote, so it may hold commas.
Row SplitFields(const QByteArray& line) {
  Row fields;
  qsizetype pos = 0;
  while (true) {
    if (pos < line.size() && line[pos] == '"') {
      const qsizetype close = line.indexOf('"', pos + 1);
      if (close < 0) {
        fields << line.mid(pos + 1);
        break;
      }
      fields << line.mid(pos + 1, close - pos - 1);
      const qsizetype comma = line.indexOf(',', close);
      if (comma < 0) break;
      pos = comma + 1;
    } else {
      const qsizetype comma = line.indexOf(',', pos);
      fields << line.mid(pos, comma < 0 ? -1 : comma - pos);
      if (comma < 0) break;
      pos = comma + 1;
    }
  }
  return fields;
}

// A table file as rows of fields, after checking line ends, encoding and that
// every line has the same number of fields.
QList<Row> ReadTable(const QString& path) {
  const QString name = QFileInfo(path).fileName();
  const QByteArray bytes = rixtest::ReadAll(path);
  EXPECT_FALSE(bytes.isEmpty()) << name.toStdString();
  ExpectCleanBig5(bytes, name);
  QList<Row> rows;
  for (const QByteArray& line : CrLfLines(bytes, name)) rows << SplitFields(line);
  for (qsizetype r = 1; r < rows.size(); ++r) {
    EXPECT_EQ(rows[r].size(), rows[0].size()) << name.toStdString() << " line " << r + 1;
    // Short rows are padded so that the checks after this one can go on.
    while (rows[r].size() < rows[0].size()) rows[r] << QByteArray();
  }
  return rows;
}

// A catalogue path ("\" separators, relative to the catalogue) as a path of
// this file system, each component matched without regard to ASCII case when
// it does not exist as written. Empty when nothing matches.
QString Resolve(const QByteArray& cell) {
  QString rel = QString::fromLatin1(Trim(cell));
  rel.replace('\\', '/');
  QString path = kDemo;
  const QStringList parts = rel.split('/', Qt::SkipEmptyParts);
  for (const QString& part : parts) {
    QString next = path + part;
    if (!QFileInfo::exists(next)) {
      next.clear();
      const QStringList names =
          QDir(path).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
      for (const QString& n : names)
        if (n.compare(part, Qt::CaseInsensitive) == 0) next = path + n;
      if (next.isEmpty()) return {};
    }
    path = next + (QFileInfo(next).isDir() ? "/" : "");
  }
  return path;
}

QList<Row> EmulatorRows() {
  QList<Row> rows = ReadTable(kDemo + "RixFront.ini");
  if (!rows.isEmpty()) rows.removeFirst();
  return rows;
}

QString ListText(const QString& program, const QStringList& args, int* exitCode) {
  QProcess p;
  p.start(program, args);
  p.waitForFinished(20000);
  *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
  return QString::fromUtf8(p.readAllStandardOutput());
}

TEST(DemoCatalogue, EmulatorTableIsAWellFormedTable) {
  const QList<Row> rows = ReadTable(kDemo + "RixFront.ini");
  ASSERT_GE(rows.size(), 7);
  ASSERT_GE(rows[0].size(), 13);
  for (qsizetype c = 0; c < 13; ++c) {
    EXPECT_FALSE(Trim(rows[0][c]).isEmpty()) << "caption " << c;
  }

  // Tree keys are whole numbers and tell the rows apart.
  QSet<int> keys;
  for (qsizetype r = 1; r < rows.size(); ++r) {
    bool ok = false;
    const int key = Trim(rows[r][1]).toInt(&ok);
    EXPECT_TRUE(ok) << "row " << r;
    EXPECT_FALSE(keys.contains(key)) << "row " << r;
    keys.insert(key);
  }
}

TEST(DemoCatalogue, EmulatorRowsNameExistingFiles) {
  int missingLists = 0;
  for (const Row& row : EmulatorRows()) {
    const std::string who = row.value(13).toStdString();
    for (int c : {2, 3, 4, 5, 6}) {
      EXPECT_FALSE(row[c].contains(':')) << who << " column " << c;
    }
    EXPECT_EQ(Trim(row[3]), QByteArray("emu\\demoemu")) << who;
    EXPECT_TRUE(QFileInfo(Resolve(row[2])).isFile()) << who << " document";
    if (!QFileInfo(Resolve(row[4])).isFile()) ++missingLists;
    EXPECT_TRUE(QFileInfo(Resolve(row[5])).isDir()) << who << " game directory";
    // The picture directory is joined to a name without a separator.
    EXPECT_TRUE(Trim(row[6]).endsWith('\\')) << who;
    EXPECT_TRUE(QFileInfo(Resolve(row[6])).isDir()) << who << " picture directory";

    const QByteArray page = Trim(row[0]).toLower();
    EXPECT_TRUE(page.isEmpty() || page == "common" || page == "neorage" || page == "zsnes") << who;
    for (int c : {9, 10, 11}) {
      const QByteArray flag = Trim(row[c]).toLower();
      EXPECT_TRUE(flag.isEmpty() || flag == "yes" || flag == "no") << who << " column " << c;
    }
    const QByteArray link = Trim(row[12]);
    if (!link.isEmpty()) {
      EXPECT_TRUE(link.startsWith("http://")) << who;
      EXPECT_TRUE(link.contains(".example/") || link.contains("example.com/") ||
                  link.contains("example.org/"))
          << who;
    }
  }
  EXPECT_EQ(missingLists, 1);
}

TEST(DemoCatalogue, ShowsEveryKindOfEmulatorRow) {
  QSet<QByteArray> pages;
  QSet<QByteArray> startFlags;
  bool directoryMode = false;
  for (const Row& row : EmulatorRows()) {
    pages.insert(Trim(row[0]));
    startFlags.insert(QByteArray(IsYes(row[9]) ? "Y" : "N") + (IsYes(row[10]) ? "Y" : "N"));
    directoryMode |= IsYes(row[11]);
    // The NeoRage page reads its switches back from column 8.
    if (Trim(row[0]) == "NeoRage") {
      EXPECT_TRUE(row[8].contains("-vga")) << row[8].constData();
    }
  }
  EXPECT_TRUE(pages.contains("NeoRage"));
  EXPECT_TRUE(pages.contains("zSNES"));
  EXPECT_TRUE(pages.contains("Common"));
  EXPECT_EQ(startFlags.size(), 4);
  EXPECT_TRUE(directoryMode);
}

TEST(DemoCatalogue, GameListsAreWellFormedAndTheirPicturesExist) {
  int present = 0, missing = 0, lists = 0;
  QSet<QString> seen;
  for (const Row& emu : EmulatorRows()) {
    const QString listPath = Resolve(emu[4]);
    if (!QFileInfo(listPath).isFile() || seen.contains(listPath)) continue;
    seen.insert(listPath);
    ++lists;
    const QList<Row> rows = ReadTable(listPath);
    ASSERT_GE(rows.size(), 2) << listPath.toStdString();
    ASSERT_GE(rows[0].size(), 5) << listPath.toStdString();
    for (qsizetype r = 1; r < rows.size(); ++r) {
      const Row& game = rows[r];
      const std::string where = listPath.toStdString() + " line " + std::to_string(r + 1);
      const QByteArray file = Trim(game[3]).split(';').first();
      ASSERT_FALSE(file.isEmpty()) << where;
      QFileInfo(Resolve(Trim(emu[5]) + file)).isFile() ? ++present : ++missing;
      // The program lower-cases the picture name and joins it to column 6.
      const QByteArray picture = Trim(game[4].toLower());
      if (!picture.isEmpty()) {
        EXPECT_TRUE(QFileInfo(Resolve(Trim(emu[6]) + picture)).isFile()) << where;
      }
    }
  }
  EXPECT_GE(lists, 4);
  EXPECT_GT(present, 0);
  EXPECT_GT(missing, 0);
}

TEST(DemoCatalogue, ArchivesAreSoundAndHoldWhatTheListsName) {
  const QString unzip = QStandardPaths::findExecutable("unzip");
  if (unzip.isEmpty()) GTEST_SKIP() << "unzip is not installed";

  QDirIterator it(kDemo + "games", {"*.zip"}, QDir::Files, QDirIterator::Subdirectories);
  int archives = 0;
  while (it.hasNext()) {
    const QString path = it.next();
    int code = 0;
    ListText(unzip, {"-tqq", path}, &code);
    EXPECT_EQ(code, 0) << path.toStdString();
    ++archives;
  }
  EXPECT_GE(archives, 5);

  for (const Row& emu : EmulatorRows()) {
    const QString listPath = Resolve(emu[4]);
    if (!QFileInfo(listPath).isFile()) continue;
    const QList<Row> rows = ReadTable(listPath);
    for (qsizetype r = 1; r < rows.size(); ++r) {
      const QList<QByteArray> parts = Trim(rows[r][3]).split(';');
      if (!parts[0].toLower().endsWith(".zip")) continue;
      const QString archive = Resolve(Trim(emu[5]) + parts[0]);
      if (archive.isEmpty()) continue;  // a game left out on purpose
      int code = 0;
      const QStringList entries =
          ListText(unzip, {"-Z1", archive}, &code).split('\n', Qt::SkipEmptyParts);
      ASSERT_EQ(code, 0) << archive.toStdString();
      if (parts.size() > 1) {
        const QString member = QString::fromLatin1(parts[1]).replace('\\', '/');
        EXPECT_TRUE(entries.contains(member, Qt::CaseInsensitive)) << archive.toStdString();
      }
      if (IsYes(emu[11])) {
        // Directory mode hands over the folder named like the archive.
        const QString folder = QFileInfo(archive).completeBaseName() + "/";
        for (const QString& e : entries) {
          EXPECT_TRUE(e.startsWith(folder)) << archive.toStdString() << ": " << e.toStdString();
        }
      }
    }
  }
}

TEST(DemoCatalogue, TreeLeadsToEveryEmulator) {
  const QByteArray bytes = rixtest::ReadAll(kDemo + "EmuTree.ini");
  ExpectCleanBig5(bytes, "EmuTree.ini");
  QSet<int> rowKeys;
  for (const Row& row : EmulatorRows()) rowKeys.insert(Trim(row[1]).toInt());

  QSet<int> treeKeys;
  int previousLevel = -1, headings = 0;
  for (const QByteArray& line : CrLfLines(bytes, "EmuTree.ini")) {
    int level = 0;
    while (level < line.size() && (line[level] == '\t' || line[level] == ' ')) ++level;
    EXPECT_LE(level, previousLevel + 1) << line.constData();
    previousLevel = level;
    const QByteArray text = line.mid(level);
    const qsizetype comma = text.indexOf(',');
    bool ok = false;
    const int key = comma < 0 ? -1 : text.mid(comma + 1).toInt(&ok);
    if (!ok) {
      ++headings;
      continue;
    }
    EXPECT_TRUE(rowKeys.contains(key)) << line.constData();
    treeKeys.insert(key);
  }
  EXPECT_GE(headings, 2);
  EXPECT_EQ(treeKeys, rowKeys);
}

TEST(DemoCatalogue, DocumentsAreBig5TextWithCrLf) {
  QSet<QString> seen;
  for (const Row& row : EmulatorRows()) {
    const QString path = Resolve(row[2]);
    if (seen.contains(path)) continue;
    seen.insert(path);
    const QByteArray bytes = rixtest::ReadAll(path);
    ExpectCleanBig5(bytes, path);
    EXPECT_GE(CrLfLines(bytes, path).size(), 10) << path.toStdString();
  }
}

TEST(DemoCatalogue, PicturesCoverEveryFormatAndDecode) {
  QSet<QString> formats;
  qint64 pictureBytes = 0;
  QDirIterator it(kDemo + "pics", QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    const QString ext = QFileInfo(path).suffix();
    EXPECT_EQ(ext, ext.toLower()) << path.toStdString();
    formats.insert(ext);
    const QByteArray bytes = rixtest::ReadAll(path);
    pictureBytes += bytes.size();
    if (ext == "pcx") {
      // The program's own PCX reader takes 8-bit run-length pictures with a
      // palette (one plane) or in true colour (three planes).
      ASSERT_GE(bytes.size(), 128 + 769) << path.toStdString();
      EXPECT_EQ(bytes[0], 10);
      EXPECT_EQ(bytes[2], 1);
      EXPECT_EQ(bytes[3], 8);
      const int planes = bytes[65];
      EXPECT_TRUE(planes == 1 || planes == 3) << path.toStdString();
      if (planes == 1) {
        EXPECT_EQ(bytes[bytes.size() - 769], 12) << path.toStdString();
      }
      continue;
    }
    if (ext == "tif" && !QImageReader::supportedImageFormats().contains("tiff")) continue;
    const QImage image(path);
    EXPECT_FALSE(image.isNull()) << path.toStdString();
    EXPECT_EQ(image.size(), QSize(160, 120)) << path.toStdString();
  }
  EXPECT_EQ(formats, (QSet<QString>{"bmp", "gif", "jpg", "png", "tif", "pcx"}));
  EXPECT_LT(pictureBytes, 600 * 1024);

  qint64 total = 0;
  QDirIterator all(kDemo, QDir::Files, QDirIterator::Subdirectories);
  while (all.hasNext()) total += QFileInfo(all.next()).size();
  EXPECT_LT(total, 2 * 1024 * 1024);
}

}  // namespace

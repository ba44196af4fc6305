// The caption tool over the demo's pocket list: 300 games, 225 of them with
// a picture in one of the six formats, captioned into an empty folder (the
// overwrite question answered Yes whenever a name comes round again). The
// floor is the same pictures decoded and encoded in the same formats by the
// same libraries (Qt, giflib, the PCX codec), without drawing, without the
// window and without writing; a second, stricter floor encodes them from the
// 32-bit bitmap the tool draws on; a third writes what the first encodes,
// plainly, under the names the tool writes: the least the whole job takes.
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>

#include "BenchForm.h"
#include "BenchSupport.h"
#include "app/TMainForm.h"
#include "catalogue/EmulatorRow.h"
#include "games/PictureCaption.h"
#include "platform/AppPaths.h"
#include "platform/FileOps.h"
#include "widgets/PictureFile.h"
#include "widgets/PictureWriter.h"
#include "widgets/ScriptedDialogs.h"

namespace {

constexpr int kPocketEmu = 4;  // the pocket row of the demo's emulator table

double Now() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

bool CopyTree(const QString& from, const QString& to) {
  QDirIterator it(from, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString src = it.next();
    const QString dst = to + src.mid(from.size());
    QDir().mkpath(QFileInfo(dst).absolutePath());
    if (!QFile::copy(src, dst)) return false;
  }
  return true;
}

// The pictures the tool meets, row by row, with the format each is written in.
struct Job {
  QString source;
  rix::PictureFile::Type type;
  QString name;  // the output's name under the chosen folder
};

QList<Job> Jobs(TMainForm& form, int* questions) {
  QList<Job> jobs;
  QSet<QString> seen;
  *questions = 0;
  const QString pictureDir = form.SelectedEmulator().pictureDir;
  for (int r = 1; r < form.RomGrid->rowCount(); ++r) {
    const QString source = rix::ResolvePath(form.PicturePath(pictureDir, r));
    if (!rix::FileExists(source)) continue;
    const QString name = form.PictureName(r);
    if (seen.contains(name)) ++*questions;
    seen.insert(name);
    jobs.append({source, rix::PictureCaption::OutputType(name), name});
  }
  return jobs;
}

// Each picture decoded and encoded as it was read. With `asBitmap`, it is
// first made the 32-bit bitmap the tool draws on (an empty caption draws
// nothing): a 16-bit PNG with alpha encodes faster that way than as it was
// read, so this stricter floor is the one without that detour. With an
// `outDir`, the bytes are also written under the output's name, as plainly
// as a file can be written (truncated in place): the whole job's floor.
size_t Floor(const QList<Job>& jobs, const rix::PictureWriter::Options& options, bool asBitmap,
             const QString& outDir = {}) {
  const rix::PictureCaption none{QString(), QFont()};
  size_t bytes = 0;
  for (const Job& job : jobs) {
    const QImage picture = rix::PictureFile::Read(job.source);
    const QByteArray encoded =
        rix::PictureWriter::Encode(asBitmap ? none.draw(picture) : picture, job.type, options);
    bytes += size_t(encoded.size());
    if (outDir.isEmpty()) continue;
    QFile out(outDir + job.name);
    QDir().mkpath(QFileInfo(out).absolutePath());
    if (out.open(QIODevice::WriteOnly | QIODevice::Truncate)) bytes += size_t(out.write(encoded));
  }
  return bytes;
}

// The tool's parts timed one by one over the same pictures, done as the
// handler does them.
void Breakdown(const QList<Job>& jobs, const rix::PictureWriter::Options& options,
               const QString& text, const QString& outDir) {
  const rix::PictureCaption caption(text, rix::PictureCaption::Font(96));
  double decode = 0, draw = 0, encode = 0, write = 0;
  int i = 0;
  for (const Job& job : jobs) {
    const double t0 = Now();
    const QImage picture = rix::PictureFile::Read(job.source);
    const double t1 = Now();
    const QImage drawn = caption.draw(picture);
    const double t2 = Now();
    const QByteArray bytes = rix::PictureWriter::Encode(drawn, job.type, options);
    const double t3 = Now();
    rix::WriteFileAtomic(outDir + QString::number(i++ % 6), bytes);
    const double t4 = Now();
    decode += t1 - t0;
    draw += t2 - t1;
    encode += t3 - t2;
    write += t4 - t3;
  }
  std::printf("# caption_300 parts_ms: decode=%.3f draw=%.3f encode=%.3f write=%.3f\n",
              decode * 1e3, draw * 1e3, encode * 1e3, write * 1e3);
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const QString demo = QCoreApplication::applicationDirPath() + "/../demo";
  QTemporaryDir root;
  const QString appDir = root.path() + "/app/";
  for (const char* part : {"/lists", "/pics"})
    if (!CopyTree(demo + part, appDir + QString(part).mid(1))) {
      std::fprintf(stderr, "cannot copy the demo catalogue from %s\n", qPrintable(demo));
      return 1;
    }
  for (const char* file : {"/RixFront.ini", "/EmuTree.ini"})
    QFile::copy(demo + file, appDir + file);

  rix::ScriptedDialogs dialogs;
  const auto form = rixbench::ShownForm(appDir, &dialogs);
  form->EmuGrid->setRow(kPocketEmu);
  form->EmuGridClickCell(form->EmuGrid, kPocketEmu, 0);
  form->RomGrid->setRow(1);
  int questions = 0;
  const QList<Job> jobs = Jobs(*form, &questions);
  std::printf("# %d rows, %d pictures, %d overwrite questions a run\n",
              form->RomGrid->rowCount() - 1, int(jobs.size()), questions);

  rix::PictureWriter::Options options;
  options.bitsPerPixel = rix::PictureWriter::ScreenBitsPerPixel(
      QGuiApplication::primaryScreen() ? QGuiApplication::primaryScreen()->depth() : 24);

  const int reps = 15;
  double ours = 1e300, floor = 1e300, strict = 1e300, written_floor = 1e300;
  size_t sink = 0;
  int written = 0;
  for (int i = 0; i < reps; ++i) {
    // The previous run's files go to the disk before, not during, a measure.
    ::sync();
    floor = std::min(floor, rixbench::BestSeconds(1, [&] { sink += Floor(jobs, options, false); }));
    strict =
        std::min(strict, rixbench::BestSeconds(1, [&] { sink += Floor(jobs, options, true); }));
    {
      QTemporaryDir plain(root.path() + "/plain-XXXXXX");
      ::sync();
      written_floor = std::min(written_floor, rixbench::BestSeconds(1, [&] {
                                 sink += Floor(jobs, options, false, plain.path() + "/");
                               }));
    }
    QTemporaryDir out(root.path() + "/out-XXXXXX");
    dialogs.clearShown();
    dialogs.answerText(QStringLiteral("qzt47"));
    dialogs.answerText(form->CaptionText);
    dialogs.answerText(out.path());
    for (int q = 0; q < questions; ++q) dialogs.answerButton(rix::Dialogs::Yes);
    ::sync();
    const double t0 = Now();
    form->RowPicAddText1Click();
    ours = std::min(ours, Now() - t0);
    written = int(QDir(out.path()).entryList(QDir::Files).size());
    if (dialogs.pending() != 0 || dialogs.shown().size() != 3 + questions)
      std::printf("# warning: %d answers left, %d boxes shown\n", dialogs.pending(),
                  int(dialogs.shown().size()));
  }
  std::printf("# %d files written a run, depth %d bits\n", written, options.bitsPerPixel);
  {
    QTemporaryDir out(root.path() + "/parts-XXXXXX");
    ::sync();
    Breakdown(jobs, options, form->CaptionText, out.path() + "/");
  }
  rixbench::Report("caption_300", ours, floor);
  rixbench::Report("caption_300_bitmap_floor", ours, strict);
  rixbench::Report("caption_300_with_writes", ours, written_floor);
  return sink == 0;
}

// The command line as a user meets it: the real program, started without any
// display, so that an answer that needed a window would fail to start at all.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>

#include "TestSupport.h"
#include "app/StartArguments.h"

namespace {

struct Outcome {
  bool finished = false;
  int exitCode = -1;
  QString out, err;
};

class StartArgumentsTest : public ::testing::Test {
protected:
  Outcome Run(const QStringList& args) {
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"}) env.remove(name);
    env.insert("XDG_DATA_HOME", dataHome.path());
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(RIX_EXECUTABLE), args);
    Outcome o;
    o.finished = p.waitForFinished(20000);
    if (!o.finished) p.kill();
    p.waitForFinished();
    o.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    o.out = QString::fromUtf8(p.readAllStandardOutput());
    o.err = QString::fromUtf8(p.readAllStandardError());
    return o;
  }
  // One line on standard error that names the path, exit code 2, nothing else.
  void ExpectRefused(const QStringList& args, const QString& path, const QString& reason) {
    const Outcome o = Run(args);
    ASSERT_TRUE(o.finished) << args.join(' ').toStdString();
    EXPECT_EQ(o.exitCode, 2) << o.err.toStdString();
    EXPECT_TRUE(o.out.isEmpty());
    EXPECT_EQ(o.err.count(u'\n'), 1) << o.err.toStdString();
    EXPECT_TRUE(o.err.endsWith(u'\n'));
    EXPECT_TRUE(o.err.contains(u'\'' + path + u'\'')) << o.err.toStdString();
    EXPECT_TRUE(o.err.contains(reason)) << o.err.toStdString();
  }

  rixtest::ScratchDir dataHome;
  rixtest::ScratchDir work;
};

}  // namespace

TEST_F(StartArgumentsTest, HelpAndVersionAnswerWithoutADisplayOrFirstStartFiles) {
  for (const QString& flag : {QStringLiteral("--help"), QStringLiteral("-h")}) {
    const Outcome help = Run({flag});
    ASSERT_TRUE(help.finished);
    EXPECT_EQ(help.exitCode, 0) << help.err.toStdString();
    EXPECT_TRUE(help.err.isEmpty()) << help.err.toStdString();
    EXPECT_TRUE(help.out.startsWith("Usage: rixfront [options] [catalogue-directory]\n"));
    EXPECT_TRUE(help.out.contains(QStringLiteral("用法：rixfront")));
    // The place used without a directory is the real one.
    EXPECT_TRUE(help.out.contains(dataHome.path() + "RixFront/")) << help.out.toStdString();
  }
  const Outcome version = Run({"--version"});
  ASSERT_TRUE(version.finished);
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out, "RIX FrontEnd 0.8\n");
  EXPECT_TRUE(version.err.isEmpty());
  EXPECT_EQ(Run({"-v"}).out, "RIX FrontEnd 0.8\n");
  // Answering created no catalogue in the user's data directory.
  EXPECT_FALSE(QDir(dataHome.path() + "RixFront").exists());
}

TEST_F(StartArgumentsTest, ADirectoryThatIsNoDirectoryEndsWithOneLineAndCodeTwo) {
  const QString missing = work.path() + "no such dir";
  ExpectRefused({missing}, missing, "no such directory");
  ASSERT_TRUE(rixtest::WriteAll(work.file("notes.txt"), "x\r\n"));
  ExpectRefused({work.file("notes.txt")}, work.file("notes.txt"), "not a directory");
  // Qt's own options and their values are not taken for the directory.
  ExpectRefused({"-platform", "offscreen", "-style", "fusion", missing}, missing,
                "no such directory");
  ExpectRefused({"--bogus=1"}, "--bogus", "unknown option");
  ExpectRefused({work.path(), missing}, work.path(), "only one catalogue directory");
  EXPECT_FALSE(QDir(dataHome.path() + "RixFront").exists());
}

TEST_F(StartArgumentsTest, ACatalogueFileOpensItsDirectory) {
  // What the desktop entry's %f passes when the user opens RixFront.ini.
  ASSERT_TRUE(rixtest::WriteAll(work.file("RixFront.ini"), "x\r\n"));
  const auto parsed =
      rix::StartArguments::Parse({"rixfront", work.file("RixFront.ini")}, dataHome.path());
  EXPECT_EQ(parsed.action, rix::StartArguments::Action::Run);
  EXPECT_EQ(QDir::cleanPath(parsed.directory.value(0)), QDir::cleanPath(work.path()));
}

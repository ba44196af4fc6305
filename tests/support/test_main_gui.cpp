#include <gtest/gtest.h>

#include <QApplication>
#include <cstdio>
#include <cstring>
#include <optional>

#include "XvfbServer.h"

int main(int argc, char** argv) {
  // Tests of what an X server shows run again on a private one (RIX_TEST_XVFB);
  // listing them needs none.
  bool listing = false;
  for (int i = 1; i < argc; ++i)
    listing = listing || std::strcmp(argv[i], "--gtest_list_tests") == 0;
  std::optional<rixbench::XvfbServer> server;
  if (qEnvironmentVariableIsSet("RIX_TEST_XVFB") && !listing) {
    server.emplace();
    if (!server->start()) {
      std::fprintf(stderr, "cannot start Xvfb\n");
      return 1;
    }
    qputenv("DISPLAY", server->display().c_str());
    qputenv("QT_QPA_PLATFORM", "xcb");
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

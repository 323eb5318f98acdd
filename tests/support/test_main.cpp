// The entry of every test program: a Qt application on the offscreen
// platform (so widgets and PDFs draw real text without a display), then
// GoogleTest.

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QApplication>
#include <string>

int main(int argc, char** argv) {
  setenv("QT_QPA_PLATFORM", "offscreen", 0);
  setenv("TENDRIX_BINARY", TENDRIX_BUILT_BINARY, 0);
  if (!getenv("XDG_RUNTIME_DIR")) {
    std::string dir = "/tmp/tendrix-xdg-" + std::to_string(getuid());
    mkdir(dir.c_str(), 0700);
    setenv("XDG_RUNTIME_DIR", dir.c_str(), 1);
  }
  ::testing::InitGoogleTest(&argc, argv);
  QApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

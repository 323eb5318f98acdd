// The test program's entry: the test folders link GoogleTest without its
// main, so that a folder whose tests need a Qt application can make one.

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

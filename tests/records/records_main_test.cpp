// The test program's entry: the test folders link GoogleTest without its
// main. The record tests need no Qt application.

#include <gtest/gtest.h>

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// GoogleTest entry for tests of Qt code: the tests run inside a Qt application
// object so that signals, timers and continuations behave as in the app.
#include <gtest/gtest.h>

#include <QCoreApplication>

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
  QCoreApplication app(argc, argv);
  return RUN_ALL_TESTS();
}

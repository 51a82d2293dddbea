// The GUI tests' main: one QApplication for every case, offscreen unless a platform is named.
#include <gtest/gtest.h>

#include <QApplication>

#include "support/portfolio_builder.h"

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The changes the tests make are kept in a history of their own, never in the user's.
  const barvane::test::TempDir dataHome;
  qputenv("XDG_DATA_HOME", QByteArray::fromStdString(dataHome.path()));
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

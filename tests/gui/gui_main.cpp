// The GUI tests' main: one QApplication for every case, offscreen unless a platform is named.
#include <gtest/gtest.h>

#include <QApplication>

// Qt keeps start-up allocations (fonts, the platform plugin) until the process ends; under
// AddressSanitizer they would read as leaks of ours, so leak checking is off for this program.
extern "C" const char* __asan_default_options() { return "detect_leaks=0"; }

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

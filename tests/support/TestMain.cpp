// Shared entry of every test program: a QApplication on the offscreen
// platform, so widget tests can build real windows without a display.
// Every test program starts in the build folder (the parent of the folder
// that holds it), however it was started: the paths of the built files and
// of the sources the tests use are relative to it.
#include <QApplication>
#include <filesystem>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
  std::error_code error;
  const std::filesystem::path self = std::filesystem::canonical("/proc/self/exe", error);
  if (!error) std::filesystem::current_path(self.parent_path().parent_path(), error);
  if (error) {
    fprintf(stderr, "cannot start in the build folder: %s\n", error.message().c_str());
    return 1;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}

// app_tests: the wizard on the offscreen platform, its dialogs and the desktop scripted.

#include <QApplication>
#include <QTemporaryDir>

#include "tests/app/TestSuites.h"

int main(int argc, char** argv) {
  // The wizard writes "temp.kvp" into the configuration folder at start: never the real one.
  QTemporaryDir config;
  qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication application(argc, argv);
  QApplication::setApplicationName("Kestrava");

  using namespace kestrava::test;
  int failed = 0;
  for (auto* suite : {RunControlTests, RunShellTests, RunListTests, RunEffectTests, RunOptionTests,
                      RunProjectTests, RunBuildTests})
    failed += suite(argc, argv);
  return failed == 0 ? 0 : 1;
}

// The entry of the desktop benchmark programs: Qt's offscreen platform unless another is set,
// one application object, then every benchmark of the program.
#pragma once

#include <benchmark/benchmark.h>
#include <QApplication>

namespace ploxen::bench {

inline int RunDesktopBenchmarks(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}

}  // namespace ploxen::bench

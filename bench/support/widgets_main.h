#pragma once
// The main of a benchmark that builds windows: an offscreen application (unless a platform
// is set), then every registered benchmark.
#include <functional>

int RunWindowBenchmarks(int argc, char** argv, const std::function<void()>& setUp = {});

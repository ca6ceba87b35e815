#pragma once
#include <string>

// One figure a back end measured about its own device over a test, by the
// name the companion file gives it ("dsp_load", "xruns").
struct BackEndFigure {
  std::string name;
  double value = 0;
};

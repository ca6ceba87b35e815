#pragma once
#include <string>

// One figure a back end measured about its own device over a test, by the
// name the companion file gives it ("dsp_load", "xruns"). A figure that is
// a name ("hrtf_name") carries it in `text`, which then stands for `value`.
struct BackEndFigure {
  std::string name;
  double value = 0;
  std::string text = {};
};

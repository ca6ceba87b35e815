#pragma once
#include <cstddef>

#include "output/abstract_output.h"

// The one way a feature report grows: printf-style text appended to a
// terminated report of kFeatureReportCapacity bytes. Each text is first cut
// to `lineCapacity` - 1 characters (ASIO's report formats every line into
// 128 bytes; the others take whole lines), then to what is left of the
// report; the terminator always fits, and a full report takes nothing more.
class FeatureReportText {
 public:
  explicit FeatureReportText(char* report, size_t lineCapacity = kFeatureReportCapacity)
      : report(report), lineCapacity(lineCapacity) {}

  __attribute__((format(printf, 2, 3))) void Append(const char* format, ...);

 private:
  char* report;
  size_t lineCapacity;
};

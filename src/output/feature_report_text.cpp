#include "output/feature_report_text.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

void FeatureReportText::Append(const char* format, ...) {
  const size_t used = std::strlen(report);
  if (used + 1 >= kFeatureReportCapacity) return;
  char line[kFeatureReportCapacity];
  const size_t capacity = lineCapacity < sizeof line ? lineCapacity : sizeof line;
  if (capacity == 0) return;
  va_list arguments;
  va_start(arguments, format);
  const int written = std::vsnprintf(line, capacity, format, arguments);
  va_end(arguments);
  if (written < 0) return;
  const size_t length = std::strlen(line);
  const size_t room = kFeatureReportCapacity - 1 - used;
  const size_t taken = length < room ? length : room;
  std::memcpy(report + used, line, taken);
  report[used + taken] = '\0';
}

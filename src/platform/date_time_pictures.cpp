#include "platform/date_time_pictures.h"

#include <cstdio>

namespace platform {
namespace {

const char* const kDayNames[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const kMonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

std::string Number(unsigned value, int width) {
  char text[16];
  std::snprintf(text, sizeof(text), "%0*u", width, value);
  return text;
}

size_t RunLength(const char* at) {
  size_t n = 1;
  while (at[n] == at[0]) ++n;
  return n;
}

// Copies quoted text ('' is a literal quote); returns the characters consumed.
size_t CopyQuoted(const char* at, std::string& out) {
  size_t i = 1;
  while (at[i] != '\0') {
    if (at[i] == '\'') {
      if (at[i + 1] == '\'') {
        out += '\'';
        i += 2;
        continue;
      }
      return i + 1;
    }
    out += at[i++];
  }
  return i;
}

}  // namespace

std::string FormatEnglishDatePicture(const LocalDateTime& when, const char* picture) {
  std::string out;
  for (const char* at = picture; at && *at;) {
    if (*at == '\'') {
      at += CopyQuoted(at, out);
      continue;
    }
    const size_t run = RunLength(at);
    const unsigned monthIndex = (when.month >= 1 && when.month <= 12) ? when.month - 1u : 0u;
    switch (*at) {
      case 'd':
        if (run == 1) out += Number(when.day, 1);
        else if (run == 2) out += Number(when.day, 2);
        else if (run == 3) out += std::string(kDayNames[when.dayOfWeek % 7]).substr(0, 3);
        else out += kDayNames[when.dayOfWeek % 7];
        break;
      case 'M':
        if (run == 1) out += Number(when.month, 1);
        else if (run == 2) out += Number(when.month, 2);
        else if (run == 3) out += std::string(kMonthNames[monthIndex]).substr(0, 3);
        else out += kMonthNames[monthIndex];
        break;
      case 'y':
        if (run <= 2) out += Number(when.year % 100u, run == 1 ? 1 : 2);
        else out += Number(when.year, 4);
        break;
      default: out.append(at, run); break;
    }
    at += run;
  }
  return out;
}

std::string FormatEnglishTimePicture(const LocalDateTime& when, const char* picture) {
  std::string out;
  for (const char* at = picture; at && *at;) {
    if (*at == '\'') {
      at += CopyQuoted(at, out);
      continue;
    }
    const size_t run = RunLength(at);
    const int width = run >= 2 ? 2 : 1;
    switch (*at) {
      case 'h': {
        const unsigned hour12 = when.hour % 12u == 0 ? 12u : when.hour % 12u;
        out += Number(hour12, width);
        break;
      }
      case 'H': out += Number(when.hour, width); break;
      case 'm': out += Number(when.minute, width); break;
      case 's': out += Number(when.second, width); break;
      case 't': out += run == 1 ? (when.hour < 12 ? "A" : "P") : (when.hour < 12 ? "AM" : "PM"); break;
      default: out.append(at, run); break;
    }
    at += run;
  }
  return out;
}

}  // namespace platform

#include "analyzer/readable_date.h"

#include <cstdio>
#include <cstring>
#include <vector>

namespace analyzer {

namespace {

constexpr const char* kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                   "July",    "August",   "September", "October", "November", "December"};

std::vector<std::string> Split(const std::string& text, char separator) {
  std::vector<std::string> parts(1);
  for (const char c : text) {
    if (c == separator) {
      parts.emplace_back();
    } else {
      parts.back() += c;
    }
  }
  return parts;
}

bool Digits(const std::string& text, size_t least, size_t most, unsigned& value) {
  if (text.size() < least || text.size() > most) return false;
  value = 0;
  for (const char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + static_cast<unsigned>(c - '0');
  }
  return true;
}

}  // namespace

std::string ReadableDate(const std::string& raw) {
  // weekday, day, month, year, " HH:mm ss tt"
  const std::vector<std::string> parts = Split(raw, ',');
  unsigned day = 0, year = 0;
  if (parts.size() != 5 || !Digits(parts[1], 1, 2, day) || day < 1 || day > 31 || !Digits(parts[3], 4, 4, year)) {
    return raw;
  }
  bool month = false;
  for (const char* name : kMonths) month = month || parts[2] == name;
  unsigned hour = 0, minute = 0, second = 0;
  char meridiem[3] = "", rest = 0;
  const int read = std::sscanf(parts[4].c_str(), " %2u:%2u %2u %2[AMP]%c", &hour, &minute, &second, meridiem, &rest);
  if (!month || read < 3 || read > 4 || minute > 59 || second > 60) return raw;
  // The files write the 24-hour clock with AM or PM after it; a 12-hour one is taken too.
  if (std::strcmp(meridiem, "PM") == 0 && hour < 12) hour += 12;
  if (std::strcmp(meridiem, "AM") == 0 && hour == 12) hour = 0;
  if (hour > 23) return raw;
  char text[64];
  std::snprintf(text, sizeof(text), "%u %s %u, %02u:%02u:%02u", day, parts[2].c_str(), year, hour, minute, second);
  return text;
}

}  // namespace analyzer

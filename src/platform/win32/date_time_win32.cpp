#include <windows.h>

#include "platform/date_time.h"

namespace platform {
namespace {

constexpr LCID kEnglishUs = 1033;

SYSTEMTIME ToSystemTime(const LocalDateTime& when) {
  SYSTEMTIME t{};
  t.wYear = when.year;
  t.wMonth = when.month;
  t.wDayOfWeek = when.dayOfWeek;
  t.wDay = when.day;
  t.wHour = when.hour;
  t.wMinute = when.minute;
  t.wSecond = when.second;
  t.wMilliseconds = when.milliseconds;
  return t;
}

}  // namespace

LocalDateTime ReadLocalDateTime() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return {t.wYear, t.wMonth, t.wDayOfWeek, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

std::string FormatDate(const LocalDateTime& when, const char* picture) {
  const SYSTEMTIME t = ToSystemTime(when);
  char text[256] = {};
  GetDateFormatA(kEnglishUs, 0, &t, picture, text, sizeof(text));
  return text;
}

std::string FormatTime(const LocalDateTime& when, const char* picture) {
  const SYSTEMTIME t = ToSystemTime(when);
  char text[256] = {};
  GetTimeFormatA(kEnglishUs, 0, &t, picture, text, sizeof(text));
  return text;
}

}  // namespace platform

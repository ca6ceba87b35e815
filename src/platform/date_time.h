#pragma once
#include <cstdint>
#include <string>

namespace platform {

struct LocalDateTime {
  uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;  // dayOfWeek 0 = Sunday
  uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};

// One reading of the local clock.
LocalDateTime ReadLocalDateTime();

// en-US pictures, as GetDateFormatA / GetTimeFormatA with locale 1033:
// date pictures use d dd ddd dddd M MM MMM MMMM y yy yyyy, time pictures
// h hh H HH m mm s ss t tt; text in single quotes is copied as it stands.
std::string FormatDate(const LocalDateTime& when, const char* picture);
std::string FormatTime(const LocalDateTime& when, const char* picture);

}  // namespace platform

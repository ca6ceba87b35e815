#include <sys/time.h>
#include <time.h>

#include "platform/date_time.h"
#include "platform/date_time_pictures.h"

namespace platform {

LocalDateTime ReadLocalDateTime() {
  timeval now{};
  gettimeofday(&now, nullptr);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  LocalDateTime when;
  when.year = static_cast<uint16_t>(local.tm_year + 1900);
  when.month = static_cast<uint16_t>(local.tm_mon + 1);
  when.dayOfWeek = static_cast<uint16_t>(local.tm_wday);
  when.day = static_cast<uint16_t>(local.tm_mday);
  when.hour = static_cast<uint16_t>(local.tm_hour);
  when.minute = static_cast<uint16_t>(local.tm_min);
  when.second = static_cast<uint16_t>(local.tm_sec);
  when.milliseconds = static_cast<uint16_t>(now.tv_usec / 1000);
  return when;
}

std::string FormatDate(const LocalDateTime& when, const char* picture) {
  return FormatEnglishDatePicture(when, picture);
}

std::string FormatTime(const LocalDateTime& when, const char* picture) {
  return FormatEnglishTimePicture(when, picture);
}

}  // namespace platform

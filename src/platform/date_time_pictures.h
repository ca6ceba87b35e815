#pragma once
#include <string>

#include "platform/date_time.h"

namespace platform {

// The en-US picture language of GetDateFormatA / GetTimeFormatA, for systems
// without those calls (and for tests that compare the two).
std::string FormatEnglishDatePicture(const LocalDateTime& when, const char* picture);
std::string FormatEnglishTimePicture(const LocalDateTime& when, const char* picture);

}  // namespace platform

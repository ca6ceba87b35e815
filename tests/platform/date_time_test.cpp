#include <gtest/gtest.h>

#include "platform/date_time.h"
#include "platform/date_time_pictures.h"

namespace {

// Tuesday, 8 December 2026, 21:05:09.
const platform::LocalDateTime kEvening{2026, 12, 2, 8, 21, 5, 9, 0};
const platform::LocalDateTime kMorning{2026, 3, 0, 1, 0, 7, 3, 0};

TEST(DateTimePictures, EnglishDatePictures) {
  EXPECT_EQ(platform::FormatDate(kEvening, "dd'.'MM'.'yyyy"), "08.12.2026");
  EXPECT_EQ(platform::FormatDate(kEvening, "dddd, MMMM d, yyyy"), "Tuesday, December 8, 2026");
  EXPECT_EQ(platform::FormatDate(kMorning, "ddd MMM yy M/d"), "Sun Mar 26 3/1");
}

TEST(DateTimePictures, EnglishTimePictures) {
  EXPECT_EQ(platform::FormatTime(kEvening, "HH'-'mm'-'ss"), "21-05-09");
  EXPECT_EQ(platform::FormatTime(kEvening, "hh':'mm':'ss tt"), "09:05:09 PM");
  EXPECT_EQ(platform::FormatTime(kMorning, "h:mm t"), "12:07 A");
}

TEST(DateTimePictures, PortablePicturesMatchTheSystemOnes) {
  // On Windows FormatDate/FormatTime are the system's; elsewhere they are ours.
  for (const char* picture : {"dd MMM yyyy", "dddd d MMMM yy"}) {
    EXPECT_EQ(platform::FormatEnglishDatePicture(kEvening, picture), platform::FormatDate(kEvening, picture));
  }
  for (const char* picture : {"HH:mm:ss", "h:mm tt"}) {
    EXPECT_EQ(platform::FormatEnglishTimePicture(kMorning, picture), platform::FormatTime(kMorning, picture));
  }
}

TEST(DateTimePictures, TheLocalClockGivesAPlausibleDate) {
  const platform::LocalDateTime now = platform::ReadLocalDateTime();
  EXPECT_GE(now.year, 2020);
  EXPECT_GE(now.month, 1);
  EXPECT_LE(now.month, 12);
  EXPECT_LE(now.hour, 23);
}

}  // namespace

#pragma once
#include <string>

#include "platform/date_time.h"

// "KV3D_<date>_<time>.xml", or "Batch_KV3D_..." for a batch name, with the
// en-US pictures "dddd_dd_MMMM_yyyy" and "HH_mm_ss".
std::string ResultsFileName(const platform::LocalDateTime& when, bool batchName);
// "<date>, <time>" with "dddd,dd,MMMM,yyyy" and "HH:mm ss tt".
std::string ResultsDateTimeText(const platform::LocalDateTime& when);

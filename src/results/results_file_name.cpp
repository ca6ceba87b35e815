#include "results/results_file_name.h"

std::string ResultsFileName(const platform::LocalDateTime& when, bool batchName) {
  const std::string date = platform::FormatDate(when, "dddd_dd_MMMM_yyyy");
  const std::string time = platform::FormatTime(when, "HH_mm_ss");
  return (batchName ? "Batch_KV3D_" : "KV3D_") + date + "_" + time + ".xml";
}

std::string ResultsDateTimeText(const platform::LocalDateTime& when) {
  return platform::FormatDate(when, "dddd,dd,MMMM,yyyy") + ", " + platform::FormatTime(when, "HH:mm ss tt");
}

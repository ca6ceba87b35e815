// Windows: there is no "OpenAL32.dll" here, so the engine's own OpenAL back
// end finds no device and is dropped after its log line.
#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "engine/benchmark_engine.h"
#include "results/debug_log.h"

TEST(OpenALMissingLibrary, EngineWithoutOpenAL32DropsOpenAL) {
  DebugLog::Delete();
  {
    BenchmarkEngine engine(nullptr, nullptr);
    for (size_t i = 0; i < engine.OutputCount(); ++i) EXPECT_STRNE(engine.Output(i).Name(), "OpenAL");
  }
  std::ifstream file(DebugLog::kFileName, std::ios::binary);
  std::stringstream log;
  log << file.rdbuf();
  EXPECT_NE(log.str().find("Create COpenAL..\r\nCreate CASIO..\r\n"), std::string::npos) << log.str();
}

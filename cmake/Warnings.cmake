# Our own targets build warning-free with these; third-party code does not use them.
add_library(kv3r_warnings INTERFACE)
target_compile_options(kv3r_warnings INTERFACE -Wall -Wextra)
if(KV3R_WINDOWS)
  # 32-bit Windows program; the posix thread model gives std::thread and std::mutex.
  target_compile_definitions(kv3r_warnings INTERFACE WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601)
endif()

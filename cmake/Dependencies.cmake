# Every dependency comes from Debian's packages. The native build uses the
# installed libraries; the Windows build compiles the same sources itself.
set(KV3R_THIRD_PARTY_DIR "/opt/kv3r-third-party" CACHE PATH
    "Where the setup script unpacked third-party sources the Windows build compiles")

if(KV3R_WINDOWS)
  # tinyxml2 from Debian's source package.
  add_library(kv3r_tinyxml2 STATIC ${KV3R_THIRD_PARTY_DIR}/tinyxml2/tinyxml2.cpp)
  target_include_directories(kv3r_tinyxml2 SYSTEM PUBLIC ${KV3R_THIRD_PARTY_DIR}/tinyxml2)
  add_library(tinyxml2::tinyxml2 ALIAS kv3r_tinyxml2)

  # CLI11 is header-only: expose just its folder, not the host's /usr/include.
  set(_cli_dir ${CMAKE_BINARY_DIR}/host-headers)
  file(MAKE_DIRECTORY ${_cli_dir})
  file(CREATE_LINK /usr/include/CLI ${_cli_dir}/CLI SYMBOLIC)
  add_library(kv3r_cli11 INTERFACE)
  target_include_directories(kv3r_cli11 SYSTEM INTERFACE ${_cli_dir})
  add_library(CLI11::CLI11 ALIAS kv3r_cli11)

  # The JSON library is header-only too (the companion file and its reader).
  file(CREATE_LINK /usr/include/nlohmann ${_cli_dir}/nlohmann SYMBOLIC)
  add_library(kv3r_json INTERFACE)
  target_include_directories(kv3r_json SYSTEM INTERFACE ${_cli_dir})
  add_library(nlohmann_json::nlohmann_json ALIAS kv3r_json)

  # GoogleTest from the sources Debian ships in /usr/src.
  set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(tinyxml2 QUIET CONFIG)
  if(NOT TARGET tinyxml2::tinyxml2)
    find_library(KV3R_TINYXML2_LIB tinyxml2 REQUIRED)
    add_library(tinyxml2::tinyxml2 UNKNOWN IMPORTED)
    set_target_properties(tinyxml2::tinyxml2 PROPERTIES IMPORTED_LOCATION ${KV3R_TINYXML2_LIB})
  endif()
  find_package(CLI11 CONFIG REQUIRED)
  find_package(nlohmann_json CONFIG REQUIRED)
  find_package(GTest REQUIRED)
  find_package(benchmark REQUIRED)
  find_package(Threads REQUIRED)
endif()

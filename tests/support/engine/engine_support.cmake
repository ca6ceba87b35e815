# The engine test support library, shared by the test folders that drive the engine.
if(NOT TARGET kv3r_engine_test_support)
  add_library(kv3r_engine_test_support STATIC
    ${CMAKE_CURRENT_LIST_DIR}/engine_under_test.cpp
    ${CMAKE_CURRENT_LIST_DIR}/virtual_clock.cpp)
  target_include_directories(kv3r_engine_test_support PUBLIC ${PROJECT_SOURCE_DIR}/tests)
  # The tests read the results file back with a real parser.
  target_link_libraries(kv3r_engine_test_support PUBLIC kv3r_engine tinyxml2::tinyxml2 kv3r_warnings)
endif()

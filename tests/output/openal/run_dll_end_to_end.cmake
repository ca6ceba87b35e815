# kv3r with the fake OpenAL32.dll beside it, both copied into a scratch
# folder: `devices --report` must list the fake device and a short run must
# leave an "OpenAL 2D" set with readings.
#   cmake -DEMULATOR=a|b|c -DKV3R=kv3r.exe -DOPENAL=OpenAL32.dll -DWORK=dir
#         -P run_dll_end_to_end.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
file(COPY ${KV3R} ${OPENAL} DESTINATION ${WORK})
get_filename_component(program ${KV3R} NAME)
set(program ${WORK}/${program})

execute_process(COMMAND ${emulator} ${program} devices --report WORKING_DIRECTORY ${WORK}
                RESULT_VARIABLE status OUTPUT_VARIABLE devices ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR NOT devices MATCHES "OpenAL[^\n]*\n[^\n]*Fake Default")
  message(FATAL_ERROR "devices --report (${status}) does not list the fake device:\n${devices}\n${err}")
endif()

execute_process(
  COMMAND ${emulator} ${program} run --backend OpenAL --device 0 --seconds 1 --buffers 4 --method 2
          --2d 1 --3d-hardware 0 --3d-eax 0
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 AND NOT status EQUAL 3)
  message(FATAL_ERROR "kv3r run ended with ${status}\n${out}\n${err}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/../../support/cmake/results_set.cmake)
kv3r_results_set(${WORK} "OpenAL 2D" "${out}" set)
if(NOT set MATCHES "<DeviceName>Fake Default</DeviceName>")
  message(FATAL_ERROR "2D set not on the fake device:\n${set}")
endif()

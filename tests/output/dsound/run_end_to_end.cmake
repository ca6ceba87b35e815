# `kv3r run` on the DirectSound device with short tests: the results file it
# leaves must hold a 2D set measured on that device, with readings.
#   cmake -DEMULATOR=a|b|c -DKV3R=kv3r.exe -DWORK=dir -P run_end_to_end.cmake
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(
  COMMAND ${emulator} ${KV3R} run --backend DirectSound --device 0 --seconds 1 --buffers 4
          --method 1 --2d 1 --3d-hardware 0 --3d-eax 0
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 AND NOT status EQUAL 3)
  message(FATAL_ERROR "kv3r run ended with ${status}\n${out}\n${err}")
endif()

include(${CMAKE_CURRENT_LIST_DIR}/../../support/cmake/results_set.cmake)
kv3r_results_set(${WORK} "DirectSound 2D" "${out}" set)
if(NOT set MATCHES "<DeviceName>Out: default[^<]*</DeviceName>")
  message(FATAL_ERROR "2D set not on Wine's DirectSound device:\n${set}")
endif()

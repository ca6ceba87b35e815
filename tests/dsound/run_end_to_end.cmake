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
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kv3r run ended with ${status}\n${out}\n${err}")
endif()

file(GLOB results ${WORK}/KV3D_*.xml)
list(LENGTH results count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one results file, found ${count}\n${out}")
endif()
file(READ ${results} xml)
string(FIND "${xml}" "<TestMode>DirectSound 2D</TestMode>" start)
if(start EQUAL -1)
  message(FATAL_ERROR "no DirectSound 2D set in\n${xml}")
endif()
string(SUBSTRING "${xml}" ${start} -1 set)
string(FIND "${set}" "</ResultsSet>" end)
string(SUBSTRING "${set}" 0 ${end} set)
if(NOT set MATCHES "<DeviceName>Out: default[^<]*</DeviceName>")
  message(FATAL_ERROR "2D set not on Wine's DirectSound device:\n${set}")
endif()
if(NOT set MATCHES "<Data>[0-9]+\\.[0-9]+</Data>")
  message(FATAL_ERROR "2D set without readings:\n${set}")
endif()

# kv3r.exe's XAudio2 back end under Wine: `devices --report` lists it with its
# report; a 1 s run of each mode with deferred updates writes each set with
# readings and commits one operation set per AudioThread pass; with Wine's
# audio drivers switched off there is no endpoint, and then no device and no
# crash (Wine's engine would crash inside CreateMasteringVoice).
# Wine plays to its ALSA null device here: function only, it is not paced.
#   cmake -DEMULATOR=a|b|c -DKV3R=kv3r.exe -DWORK=dir -P run_wine_end_to_end.cmake
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

execute_process(COMMAND ${emulator} ${KV3R} devices --report
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "kv3r devices ended with ${status}\n${out}\n${err}")
endif()
foreach(pattern "\nXAudio2\r?\n  0: Default output\r?\n" "Engine: XAudio2 2\\.[89] \\(xaudio2_[89]\\.dll\\)"
                "Mastering voice: [0-9]+ channels, [0-9]+ Hz" "Source voices: [0-9]+ of 256 tried"
                "Reverb: Available" "Operation sets: Available")
  if(NOT out MATCHES "${pattern}")
    message(FATAL_ERROR "the device list lacks \"${pattern}\":\n${out}")
  endif()
endforeach()

execute_process(
  COMMAND ${emulator} ${KV3R} run --backend XAudio2 --seconds 1 --buffers 8 --method 1 --deferred 1
  WORKING_DIRECTORY ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0 AND NOT status EQUAL 3)
  message(FATAL_ERROR "kv3r run ended with ${status}\n${out}\n${err}")
endif()
include(${CMAKE_CURRENT_LIST_DIR}/../../support/cmake/results_set.cmake)
foreach(mode "XAudio2 2D" "XAudio2 3D" "XAudio2 3D + reverb")
  kv3r_results_set(${WORK} "${mode}" "${out}" set)
endforeach()
file(GLOB companion ${WORK}/KV3D_*.json)
file(READ ${companion} json)
string(JSON count LENGTH "${json}" tests)
math(EXPR last "${count} - 1")
set(checked 0)
foreach(i RANGE ${last})
  string(JSON mode GET "${json}" tests ${i} mode)
  if(NOT mode MATCHES "^XAudio2 3D")
    continue()
  endif()
  string(JSON passes GET "${json}" tests ${i} back_end deferred_passes)
  string(JSON sets GET "${json}" tests ${i} back_end operation_sets)
  # 2 s of settling and 1 s measured at one pass per 50 ms.
  if(passes LESS 40 OR NOT sets EQUAL passes)
    message(FATAL_ERROR "${mode}: ${sets} operation sets over ${passes} passes")
  endif()
  math(EXPR checked "${checked} + 1")
endforeach()
if(NOT checked EQUAL 2)
  message(FATAL_ERROR "the companion holds ${checked} 3D tests:\n${json}")
endif()

file(REMOVE_RECURSE ${WORK}/silent)
file(MAKE_DIRECTORY ${WORK}/silent)
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env "WINEDLLOVERRIDES=mscoree,mshtml=;winealsa.drv,winepulse.drv,wineoss.drv="
          ${emulator} ${KV3R} devices
  WORKING_DIRECTORY ${WORK}/silent RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
file(READ ${WORK}/silent/Korvanta3rUzevoBench.log log)
if(NOT status EQUAL 0 OR out MATCHES "\nXAudio2\r?\n" OR NOT log MATCHES "XAudio2: no default audio endpoint")
  message(FATAL_ERROR "without an endpoint kv3r devices ended with ${status}\n${out}\n${err}\n${log}")
endif()

# kv3r through a real sound server that tools/sound-server starts headless:
# OpenAL Soft's `pulse` output into PipeWire, or its `jack` output into jackd.
# A short run must write its sets with readings, and the companion file must
# give the server's processes a part of every test. A server that cannot
# start here is a skip ("did not start", with the reason).
#   cmake -DKV3R=kv3r -DSERVER_SCRIPT=sound-server -DSERVER=pipewire|jack
#         -DWORK=dir -P kv3r_sound_server.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
if(SERVER STREQUAL "pipewire")
  set(output pulse)
  set(processes pipewire pipewire-pulse)
else()
  set(output jack)
  set(processes jackd)
endif()

execute_process(
  COMMAND ${SERVER_SCRIPT} ${SERVER} -- ${KV3R} --openal-output ${output} run --method 2 --seconds 1 --buffers 4
          --2d 1 --3d-hardware 0 --3d-eax 0
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(status EQUAL 77)
  message("${err}")
  return()
endif()
# 3: the machine was saturated (a busy test machine); the files are whole.
if(NOT status EQUAL 0 AND NOT status EQUAL 3)
  message(FATAL_ERROR "kv3r through ${SERVER} ended with ${status}\n${out}\n${err}")
endif()

# Which server answered OpenAL Soft's pulse output, said and recorded.
if(SERVER STREQUAL "pipewire" AND NOT out MATCHES "Pulse server: [^\n]*on PipeWire [0-9]")
  message(FATAL_ERROR "the run does not say that PipeWire answered\n${out}")
endif()

file(GLOB results ${WORK}/KV3D_*.xml)
list(LENGTH results count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one results file, found ${count}\n${out}\n${err}")
endif()
execute_process(COMMAND xmllint --xpath "count(//ResultsSet[TestMode='OpenAL 2D']/Result/Data)" ${results}
                RESULT_VARIABLE status OUTPUT_VARIABLE readings ERROR_VARIABLE err)
if(NOT status EQUAL 0 OR readings LESS 1)
  message(FATAL_ERROR "no OpenAL 2D readings through ${SERVER} (${readings})\n${err}\n${out}")
endif()

string(REGEX REPLACE "\\.xml$" ".json" companion_path "${results}")
file(READ ${companion_path} companion)
string(JSON server GET "${companion}" environment sound_server)
if(SERVER STREQUAL "pipewire" AND NOT server MATCHES "PipeWire")
  message(FATAL_ERROR "the companion names no PipeWire server (${server})")
endif()
string(JSON tests LENGTH "${companion}" tests)
if(tests LESS 2)
  message(FATAL_ERROR "the companion holds ${tests} tests\n${companion}")
endif()
math(EXPR last "${tests} - 1")
foreach(index RANGE ${last})
  string(JSON mode GET "${companion}" tests ${index} mode)
  foreach(process ${processes})
    string(JSON part ERROR_VARIABLE missing GET "${companion}" tests ${index} parts servers ${process})
    if(missing OR NOT part MATCHES "^-?[0-9]")
      message(FATAL_ERROR "${mode}: no part for ${process} (${part} ${missing})\n${companion}")
    endif()
  endforeach()
endforeach()

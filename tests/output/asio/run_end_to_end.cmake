# kv3r on the simulated ASIO card, registered in the test prefix by the
# install script and removed again: `devices --report` must show the card's
# report, and a short run must leave an "ASIO 2D" set with readings while the
# card heard the emitters on their channels.
#   cmake -DEMULATOR=a|b|c -DKV3R=kv3r.exe -DCARD=card.dll -DINSTALL=script
#         -DPREFIX=dir -DWORK=dir -P run_end_to_end.cmake
cmake_minimum_required(VERSION 3.25)
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})
set(name "kv3r end-to-end card")
set(clsid "{5A5A4B56-0000-4000-8000-00000000E2E0}")
execute_process(
  COMMAND ${INSTALL} --card ${CARD} --name ${name} --clsid ${clsid} --set captureChannels=8
          --set capture=card.capture --set journal=card.journal ${PREFIX}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "registering the card failed\n${out}\n${err}")
endif()

set(problems "")
execute_process(COMMAND ${emulator} ${KV3R} devices --report WORKING_DIRECTORY ${WORK}
                RESULT_VARIABLE status OUTPUT_VARIABLE devices ERROR_VARIABLE err)
foreach(line "Device: ${name}" "Output channels: 8" "Preferred buffer size: 256"
             " 48000 Hz - supported" " channel: 7 (Out 8) - Int32LSB")
  string(FIND "${devices}" "${line}" at)
  if(at EQUAL -1)
    string(APPEND problems "devices --report lacks \"${line}\"\n")
  endif()
endforeach()

execute_process(
  COMMAND ${emulator} ${KV3R} run --backend ASIO --device ${name} --seconds 1 --buffers 4 --method 2
          --2d 1 --3d-hardware 0 --3d-eax 0
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
execute_process(COMMAND ${INSTALL} --remove --card ${CARD} --name ${name} --clsid ${clsid} ${PREFIX})
if(NOT status EQUAL 0 AND NOT status EQUAL 3)
  string(APPEND problems "kv3r run ended with ${status}\n${out}\n${err}\n")
endif()
file(GLOB results ${WORK}/KV3D_*.xml)
list(LENGTH results count)
if(count EQUAL 1)
  file(READ ${results} xml)
  string(FIND "${xml}" "<TestMode>ASIO 2D</TestMode>" start)
  if(start EQUAL -1)
    string(APPEND problems "no ASIO 2D set in\n${xml}\n")
  else()
    string(SUBSTRING "${xml}" ${start} -1 set)
    string(FIND "${set}" "</ResultsSet>" end)
    string(SUBSTRING "${set}" 0 ${end} set)
    if(NOT set MATCHES "<Data>[0-9]+\\.[0-9]+</Data>")
      string(APPEND problems "ASIO 2D set without readings:\n${set}\n")
    endif()
  endif()
else()
  string(APPEND problems "expected one results file, found ${count}\n${out}\n")
endif()

# Four emitters on an eight-channel card: four buffers, each with sound.
if(EXISTS ${WORK}/card.capture)
  file(READ ${WORK}/card.capture capture HEX)
  # Each channel's block follows its text line; the line's hex ends in 0a.
  string(REGEX MATCHALL "6368616e6e656c20([0-9a-f][0-9a-f])" channels "${capture}")
  list(LENGTH channels captured)
  if(NOT captured EQUAL 4)
    string(APPEND problems "the capture holds ${captured} channels, not 4\n")
  endif()
  file(READ ${WORK}/card.capture head LIMIT 40)
  string(REGEX MATCH "frames ([0-9]+)" _ "${head}")
  set(frames ${CMAKE_MATCH_1})
  math(EXPR bytes "${frames} * 4")
  string(LENGTH "channel 0 width 4 frames ${frames}\n" header)
  set(at 0)
  foreach(channel RANGE 0 3)
    math(EXPR offset "(${at} + ${header}) * 2")
    math(EXPR hexBytes "${bytes} * 2")
    string(SUBSTRING "${capture}" ${offset} ${hexBytes} data)
    string(REGEX MATCH "[1-9a-f]" heard "${data}")
    if(NOT heard)
      string(APPEND problems "channel ${channel} is silent\n")
    endif()
    math(EXPR at "${at} + ${header} + ${bytes}")
  endforeach()
else()
  string(APPEND problems "the card captured nothing\n")
endif()

if(problems)
  file(READ ${WORK}/card.journal journal)
  message(FATAL_ERROR "${problems}\ndevices:\n${devices}\njournal:\n${journal}")
endif()

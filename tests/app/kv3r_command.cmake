# kv3r as a user runs it. Bad values, an unknown command and an unknown
# OpenAL output end with exit code 2 before anything is written; with
# OPENAL_RUN a short run on OpenAL Soft's wave output ends with the summary
# and the results file it names, and leaves the sound in the wave file.
#   cmake -DEMULATOR=a|b -DKV3R=kv3r -DWORK=dir [-DOPENAL_RUN=1] -P kv3r_command.cmake
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

# Each case: the arguments, then after "@" what the refusal must say.
foreach(case "run|--buffers|many@--buffers" "run|--buffers|-1@--buffers" "run|--2d|2@--2d: 2 is not in 0-1"
        "run|--seconds|99999999999@--seconds: 99999999999 is not in 0-4294967" "run|--memory-mb|@--memory-mb"
        "run|--buffers|0257@--buffers: 0257 is not in 0-256" "--openal-output|bogus|devices@null, wave"
        "fly|--buffers|8@Unknown command: fly")
  string(REGEX REPLACE "@.*" "" bad "${case}")
  string(REGEX REPLACE ".*@" "" expected "${case}")
  string(REPLACE "|" ";" bad "${bad}")
  execute_process(COMMAND ${emulator} ${KV3R} ${bad} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 2)
    message(FATAL_ERROR "kv3r ${bad} ended with ${status}, not 2\n${out}\n${err}")
  endif()
  string(FIND "${err}" "${expected}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "kv3r ${bad} did not say \"${expected}\"\n${err}")
  endif()
endforeach()
# Each command's help lists the exit codes that command can end with, and
# offers only what it takes.
function(expect_help command present absent)
  execute_process(COMMAND ${emulator} ${KV3R} ${command} --help WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(FIND "${out}" "${present}" at)
  if(NOT status EQUAL 0 OR at EQUAL -1)
    message(FATAL_ERROR "kv3r ${command} --help (${status}) does not say \"${present}\"\n${out}${err}")
  endif()
  string(FIND "${out}" "${absent}" at)
  if(NOT at EQUAL -1)
    message(FATAL_ERROR "kv3r ${command} --help says \"${absent}\"\n${out}")
  endif()
endfunction()
expect_help(devices "  0    the back ends and their devices listed" "results file saved")
expect_help(run "  3    measured and saved, but the machine was saturated" "devices listed")
expect_help(batch "  130  interrupted by Ctrl-C" "--buffers")
expect_help(sweep "  143  ended by SIGTERM" "  3    ")
if(MAN_PAGE AND EXISTS ${MAN_PAGE})
  # The man page (help2man from --help-all) has a section and an example for every command.
  execute_process(COMMAND gzip -dc ${MAN_PAGE} OUTPUT_VARIABLE man)
  foreach(command devices run batch sweep)
    string(FIND "${man}" "Command ${command}:" section)
    string(REGEX MATCH "\n\\.B kv3r [^\n]* ${command} " example "${man}")
    if(section EQUAL -1 OR NOT example)
      message(FATAL_ERROR "the man page lacks the section or an example of ${command}")
    endif()
  endforeach()
endif()

file(GLOB written ${WORK}/*)
if(written)
  message(FATAL_ERROR "a refused command left files behind: ${written}")
endif()

if(OPENAL_RUN)
  # Temporary files go to a folder of the test's own, to see that none is left.
  file(MAKE_DIRECTORY ${WORK}/tmp)
  execute_process(
    COMMAND ${CMAKE_COMMAND} -E env TMPDIR=${WORK}/tmp
            ${KV3R} --openal-output wave:mix.wav run --seconds 1 --method 2 --buffers 4 --load-memory 1 --memory-mb 1
            --memory-percent 0
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0 AND NOT status EQUAL 3)
    message(FATAL_ERROR "kv3r run ended with ${status}\n${out}\n${err}")
  endif()
  # OpenAL Soft has no hardware 2D buffers, yet the status says "2D hardware": kv3r says what plays it.
  foreach(expected "OpenAL Soft's wave output writes to mix.wav" "Memory usage 0 % corrected to 10 %."
          "Device: OpenAL / OpenAL Soft" "Test complete!" "Empty CPU test" "OpenAL 2D" "Process %"
          "plays through OpenAL's software mixer" "; 4 emitters;")
    string(FIND "${out}" "${expected}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "\"${expected}\" missing from\n${out}")
    endif()
  endforeach()
  # The analyzer's answer, when it is beside kv3r, follows the file's name.
  if(NOT out MATCHES "Results file: (KV3D_[A-Za-z0-9_-]+\\.xml)\n(Report: [^\n]+\n)?$")
    message(FATAL_ERROR "the output does not end with the results file\n${out}")
  endif()
  if(NOT EXISTS ${WORK}/${CMAKE_MATCH_1})
    message(FATAL_ERROR "${CMAKE_MATCH_1} was not written")
  endif()
  # Seconds of a 44.1 kHz mix: well over the 44 bytes of the header alone.
  file(SIZE ${WORK}/mix.wav size)
  file(READ ${WORK}/mix.wav riff LIMIT 4 HEX)
  if(NOT riff STREQUAL "52494646" OR size LESS 100000)  # "RIFF"
    message(FATAL_ERROR "mix.wav holds ${size} bytes starting ${riff}")
  endif()
  file(GLOB left ${WORK}/tmp/*)
  if(left)
    message(FATAL_ERROR "temporary files left behind: ${left}")
  endif()
endif()

# kv3r as a user runs it. Bad values end with exit code 2 before anything is
# written; with OPENAL_RUN a short run on OpenAL Soft's null output ends with
# the summary and the results file it names.
#   cmake -DEMULATOR=a|b -DKV3R=kv3r -DWORK=dir [-DOPENAL_RUN=1] -P kv3r_command.cmake
string(REPLACE "|" ";" emulator "${EMULATOR}")
file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK})

foreach(bad "--buffers;many" "--buffers;-1" "--seconds;99999999999" "--method;7" "--2d;2" "--memory-mb;")
  execute_process(COMMAND ${emulator} ${KV3R} run ${bad} WORKING_DIRECTORY ${WORK}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 2)
    message(FATAL_ERROR "kv3r run ${bad} ended with ${status}, not 2\n${out}\n${err}")
  endif()
  if(err STREQUAL "")
    message(FATAL_ERROR "kv3r run ${bad} said nothing about it")
  endif()
endforeach()
file(GLOB written ${WORK}/*)
if(written)
  message(FATAL_ERROR "a refused command left files behind: ${written}")
endif()

if(OPENAL_RUN)
  execute_process(
    COMMAND ${KV3R} --openal-output null run --seconds 1 --method 2 --buffers 4 --memory-percent 0
    WORKING_DIRECTORY ${WORK}
    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "kv3r run ended with ${status}\n${out}\n${err}")
  endif()
  foreach(expected "Memory usage 0 % corrected to 10 %." "Device: OpenAL / OpenAL Soft" "Test complete!"
          "Empty CPU test" "OpenAL 2D" "Process %")
    string(FIND "${out}" "${expected}" at)
    if(at EQUAL -1)
      message(FATAL_ERROR "\"${expected}\" missing from\n${out}")
    endif()
  endforeach()
  if(NOT out MATCHES "Results file: (KV3D_[A-Za-z0-9_]+\\.xml)\n$")
    message(FATAL_ERROR "the output does not end with the results file\n${out}")
  endif()
  if(NOT EXISTS ${WORK}/${CMAKE_MATCH_1})
    message(FATAL_ERROR "${CMAKE_MATCH_1} was not written")
  endif()
endif()

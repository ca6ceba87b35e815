# kv3r's man page, made from its own --help-all (every command's options and
# the exit codes) and --version when it is built, so it never falls behind
# the options. Needs help2man (tools/setup.sh).
# Sanitizer builds are for the tests and never packaged: their kv3r would
# have to run under the sanitizer in the middle of the build.
if(CMAKE_CXX_FLAGS MATCHES "-fsanitize")
  return()
endif()
find_program(KV3R_HELP2MAN help2man)
if(NOT KV3R_HELP2MAN)
  message(STATUS "help2man not found: no man page for kv3r (tools/setup.sh installs it)")
  return()
endif()
set(man_dir ${CMAKE_BINARY_DIR}/man)
set(include_file ${PROJECT_SOURCE_DIR}/resources/package/kv3r.h2m)
add_custom_command(OUTPUT ${man_dir}/kv3r.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${man_dir}
  COMMAND ${KV3R_HELP2MAN} --no-info --section 1 --include ${include_file} --help-option=--help-all
          --name "measure the processor time of playing many 3D sound sources"
          --output ${man_dir}/kv3r.1 $<TARGET_FILE:kv3r>
  COMMAND gzip -9nf ${man_dir}/kv3r.1
  DEPENDS kv3r ${include_file}
  WORKING_DIRECTORY ${man_dir} VERBATIM)
add_custom_target(kv3r_man_page ALL DEPENDS ${man_dir}/kv3r.1.gz)
install(FILES ${man_dir}/kv3r.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

# The release packages, made by CPack from the install rules:
#   in a Windows build folder: cpack -G ZIP  (the programs, the stylesheet, README.txt, the licences)
#   in the Linux build folder: cpack -G DEB  (kv3r, the analyzer, the stylesheet, kv3r's man page)
# Their version is the project's.
include(cmake/PackageLicences.cmake)
# What the install rules take, built by one target: tools/package-check.sh
# builds it before CPack, which builds nothing itself.
add_custom_target(kv3r_package_contents)
add_dependencies(kv3r_package_contents kv3r Korvanta3RUzevoDataAnalyzer)
if(KV3R_WINDOWS)
  add_dependencies(kv3r_package_contents Korvanta3RUzevo)
  set(readme ${CMAKE_BINARY_DIR}/package/README.txt)
  configure_file(${PROJECT_SOURCE_DIR}/resources/package/README-windows.txt.in ${readme} @ONLY NEWLINE_STYLE CRLF)
  install(FILES ${readme} DESTINATION ${KV3R_INSTALL_DOCS})
  set(CPACK_GENERATOR ZIP)
else()
  include(cmake/ManPage.cmake)
  if(TARGET kv3r_man_page)
    add_dependencies(kv3r_package_contents kv3r_man_page)
  endif()
  set(CPACK_GENERATOR DEB)
endif()

set(CPACK_PACKAGE_NAME Korvanta3RUzevo)
set(CPACK_PACKAGE_VENDOR "Korvanta 3RUzevo developers")
set(CPACK_PACKAGE_CONTACT "Korvanta 3RUzevo developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "benchmark of the processor time spent playing many 3D sound sources")
# The builds carry debugging information; the packages do not.
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_NAME korvanta3ruzevo)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
# The Debian description: the summary, then this.
set(CPACK_PACKAGE_DESCRIPTION "kv3r plays N looping 3D sound sources through OpenAL Soft or JACK while it
moves the listener and every source, samples the processor time every half
second, compares each sound mode with an empty baseline and writes every
reading to an XML results file. Korvanta3RUzevoDataAnalyzer turns results
files into summaries and self-contained HTML reports.")
# The libraries found by their links (tinyxml2, the C++ runtime), and those
# loaded at run time, which that scan cannot see: OpenAL Soft always, JACK
# and PulseAudio's client library only for their back end and server name.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libopenal1")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libjack-jackd2-0 | libjack0, libpulse0")

include(CPack)

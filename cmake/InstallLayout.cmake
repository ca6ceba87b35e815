# Where `cmake --install` and the packages (cmake/Packaging.cmake) put things.
# The Windows programs share one folder: the dialog program and kv3r.exe
# start the analyzer by name from it. On Linux kv3r starts the analyzer from
# its own folder, so both go to the same bin folder.
include(GNUInstallDirs)
if(KV3R_WINDOWS)
  set(KV3R_INSTALL_PROGRAMS .)
  set(KV3R_INSTALL_DATA .)
  set(KV3R_INSTALL_DOCS .)
else()
  set(KV3R_INSTALL_PROGRAMS ${CMAKE_INSTALL_BINDIR})
  set(KV3R_INSTALL_DATA ${CMAKE_INSTALL_DATADIR}/korvanta3ruzevo)
  set(KV3R_INSTALL_DOCS ${CMAKE_INSTALL_DATADIR}/doc/korvanta3ruzevo)
endif()

# The licence texts of the code the programs carry inside them, taken from
# the Debian packages that supplied it when the package is made (they are
# never copied into the repository). A missing text stops the install, so no
# package goes out without it.
function(kv3r_install_licence name debian_package)
  install(FILES /usr/share/doc/${debian_package}/copyright
          DESTINATION ${KV3R_INSTALL_DOCS}/licences RENAME ${name}.txt)
endfunction()

# Header-only libraries, compiled into both targets' programs.
kv3r_install_licence(CLI11 libcli11-dev)
kv3r_install_licence(nlohmann-json nlohmann-json3-dev)
if(KV3R_WINDOWS)
  # Linked statically (cmake/mingw-*.cmake): the C++ runtime and libgcc, the
  # mingw-w64 run-time start-up code with winpthreads, and tinyxml2, built
  # from Debian's source package.
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    set(mingw_architecture x86-64)
  else()
    set(mingw_architecture i686)
  endif()
  kv3r_install_licence(gcc-runtime gcc-mingw-w64-base)
  kv3r_install_licence(mingw-w64-runtime-winpthreads mingw-w64-${mingw_architecture}-dev)
  kv3r_install_licence(tinyxml2 libtinyxml2-dev)
endif()

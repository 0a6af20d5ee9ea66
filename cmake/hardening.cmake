# Debian's hardening flags (fortify, stack protector, relro, bindnow; PIE is
# the compiler's default), asked of dpkg-buildflags so that the program is
# built as the distribution builds its packages. The tests run the same
# binaries that are packaged. Optimisation stays the build type's.
option(VEIL_HARDENING "Compile and link with the flags of dpkg-buildflags" ON)
if(VEIL_HARDENING AND NOT VEIL_SANITIZE AND NOT VEIL_FUZZ)
  find_program(VEIL_DPKG_BUILDFLAGS dpkg-buildflags REQUIRED)
  set(_flags)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(
      COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
              "DEB_${kind}_MAINT_STRIP=-g -O2" ${VEIL_DPKG_BUILDFLAGS} --get ${kind}
      WORKING_DIRECTORY ${CMAKE_SOURCE_DIR}
      OUTPUT_VARIABLE _out OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(_${kind} UNIX_COMMAND "${_out}")
  endforeach()
  add_compile_options(${_CPPFLAGS} ${_CXXFLAGS})
  add_link_options(${_LDFLAGS})
endif()

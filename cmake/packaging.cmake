# The Debian package of what `cmake --install` installs, and what a
# distribution expects beside the program and its data: manual pages made
# from the programs' own --help, the copyright file, the changelog and the
# AppStream metainfo. scripts/package.sh builds the package and
# scripts/check-package.sh checks it.
include(GNUInstallDirs)

# Named once here; the package's control file, copyright, changelog and
# metainfo all take them from these.
set(VEIL_MAINTAINER "The Veilcase volunteers <support@veilcase.example.org>" CACHE STRING
    "The package's maintainer, as \"Name <address>\"")
set(VEIL_HOMEPAGE "https://veilcase.example.org" CACHE STRING "The program's web site")
set(VEIL_APP_ID "org.example.veilcase")
set(VEIL_SUMMARY "Case files for teams that investigate haunted places")
string(REGEX REPLACE ".*<(.*)>.*" "\\1" VEIL_MAINTAINER_EMAIL "${VEIL_MAINTAINER}")

set(_pkg_src ${CMAKE_CURRENT_SOURCE_DIR}/data/package)
set(_pkg_out ${CMAKE_BINARY_DIR}/package)
file(READ ${_pkg_src}/description.txt VEIL_DESCRIPTION)
string(STRIP "${VEIL_DESCRIPTION}" VEIL_DESCRIPTION)

# The changelog's newest entry names the version and gives the release date
# (also the date of the manual pages, so that they build reproducibly).
configure_file(${_pkg_src}/changelog.in ${_pkg_out}/changelog @ONLY)
file(STRINGS ${_pkg_out}/changelog _changelog_top LIMIT_COUNT 1)
if(NOT _changelog_top MATCHES "^veilcase \\(([^)]*)\\)" OR NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "data/package/changelog.in starts with \"${_changelog_top}\"; "
                      "its newest entry must be version ${PROJECT_VERSION}")
endif()
file(STRINGS ${_pkg_out}/changelog _changelog_trailer REGEX "^ -- " LIMIT_COUNT 1)
string(REGEX REPLACE "^ -- .*>  " "" _changelog_date "${_changelog_trailer}")
execute_process(COMMAND date -u -d "${_changelog_date}" +%s OUTPUT_VARIABLE VEIL_RELEASE_EPOCH
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
execute_process(COMMAND date -u -d "@${VEIL_RELEASE_EPOCH}" +%F OUTPUT_VARIABLE VEIL_RELEASE_DATE
                OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)

configure_file(${_pkg_src}/copyright.in ${_pkg_out}/copyright @ONLY)

# The metainfo's description is the package description, paragraph for
# paragraph; its screenshots are the user guide's, as published on the web site.
string(REPLACE "&" "&amp;" _xml "${VEIL_DESCRIPTION}")
string(REPLACE "<" "&lt;" _xml "${_xml}")
string(REPLACE "\n\n" ";" _paragraphs "${_xml}")
set(VEIL_DESCRIPTION_XML)
foreach(p IN LISTS _paragraphs)
  string(REPLACE "\n" " " p "${p}")
  string(APPEND VEIL_DESCRIPTION_XML "    <p>${p}</p>\n")
endforeach()
set(VEIL_SCREENSHOTS_XML)
foreach(shot "frame.png|The main window with the case dashboard"
             "form1.png|The Location window"
             "form3.png|The Investigation window"
             "form9.png|The picture viewer")
  string(REPLACE "|" ";" shot "${shot}")
  list(GET shot 0 _file)
  list(GET shot 1 _caption)
  set(_type)
  if(NOT VEIL_SCREENSHOTS_XML)
    set(_type " type=\"default\"")
  endif()
  string(APPEND VEIL_SCREENSHOTS_XML "    <screenshot${_type}>\n"
    "      <caption>${_caption}</caption>\n"
    "      <image>${VEIL_HOMEPAGE}/help/images/${_file}</image>\n"
    "    </screenshot>\n")
endforeach()
string(REGEX REPLACE "\n$" "" VEIL_DESCRIPTION_XML "${VEIL_DESCRIPTION_XML}")
string(REGEX REPLACE "\n$" "" VEIL_SCREENSHOTS_XML "${VEIL_SCREENSHOTS_XML}")
set(VEIL_METAINFO ${_pkg_out}/${VEIL_APP_ID}.metainfo.xml)
configure_file(${_pkg_src}/metainfo.xml.in ${VEIL_METAINFO} @ONLY)

# Manual pages: help2man turns each program's own --help and --version into
# its page, so the two never disagree.
find_program(VEIL_HELP2MAN help2man REQUIRED)
find_program(VEIL_GZIP gzip REQUIRED)
set(_package_files ${_pkg_out}/changelog.gz)
add_custom_command(OUTPUT ${_pkg_out}/changelog.gz
  COMMAND ${VEIL_GZIP} -9nkf ${_pkg_out}/changelog
  DEPENDS ${_pkg_out}/changelog VERBATIM)
function(veil_manpage target name)
  set(page ${_pkg_out}/man/${target}.1)
  add_custom_command(OUTPUT ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${_pkg_out}/man
    COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=0
            SOURCE_DATE_EPOCH=${VEIL_RELEASE_EPOCH}
            ${VEIL_HELP2MAN} --no-info --section=1 --name=${name} --output=${page} $<TARGET_FILE:${target}>
    COMMAND ${VEIL_GZIP} -9nf ${page}
    DEPENDS ${target}
    COMMENT "Writing the manual page ${target}(1)" VERBATIM)
  set(_package_files ${_package_files} ${page}.gz PARENT_SCOPE)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()
veil_manpage(veilcase "case files for teams that investigate haunted places")
if(TARGET veilcase-cli)
  veil_manpage(veilcase-cli "work on a Veilcase case file without opening a window")
endif()
add_custom_target(veil_package_files ALL DEPENDS ${_package_files})

# A stripped install (the package's) also drops the compiler's notes, as
# Debian's own packages do.
foreach(program veilcase veilcase-cli)
  if(TARGET ${program})
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/$<TARGET_FILE_NAME:${program}>\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()")
  endif()
endforeach()

install(FILES ${_pkg_out}/copyright ${_pkg_out}/changelog.gz
        DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/veilcase)
install(FILES ${VEIL_METAINFO} DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veilcase)
set(CPACK_PACKAGE_VENDOR "Veilcase")
set(CPACK_PACKAGE_CONTACT "${VEIL_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${VEIL_SUMMARY}")
set(CPACK_PACKAGE_DESCRIPTION "${VEIL_DESCRIPTION}")
set(CPACK_PACKAGE_HOMEPAGE_URL "${VEIL_HOMEPAGE}")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The guide, web and e-mail links go through the desktop's handler; clips are
# decoded by GStreamer's plugins, which no executable links.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_SUGGESTS gstreamer1.0-libav)
# The library dependencies are read from the executables (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

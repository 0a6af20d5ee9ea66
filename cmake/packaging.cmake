# A Debian package of what `cmake --install` installs; scripts/package.sh builds it.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME veilcase)
set(CPACK_PACKAGE_VENDOR "Veilcase")
set(CPACK_PACKAGE_CONTACT "Veilcase maintainers <maintainers@veilcase.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Case files for teams that investigate reportedly haunted places")
set(CPACK_PACKAGE_DESCRIPTION "Veilcase keeps locations, investigations, interviews, investigators, \
equipment and photographs in one case database, with a picture viewer and simple filters.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
# The library dependencies are read from the executable (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
include(CPack)

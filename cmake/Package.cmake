# SPDX-License-Identifier: MIT
# The Debian package: cpack -G DEB in a build tree made with
# CMAKE_INSTALL_PREFIX=/usr (scripts/package.sh does both).

set(CPACK_PACKAGE_NAME varnoquil)
set(CPACK_PACKAGE_VENDOR "The Varnoquil developers")
set(CPACK_PACKAGE_CONTACT "The Varnoquil developers <varnoquil@users.noreply.github.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_DESCRIPTION "Varnoquil is a small tool for Sega Mega Drive (Genesis) cartridge ROM
images. It shows a ROM image's cartridge header and checksum, repairs the
checksum in place and retunes the GEMS sound driver's pitch tables into a
new image. The window browses folders; varnoquil-cli does the same work
for scripts and batch jobs.")
set(CPACK_RESOURCE_FILE_LICENSE "${PROJECT_SOURCE_DIR}/LICENSE")
set(CPACK_STRIP_FILES ON)
# The programs also lose the sections Debian's packages go without.
set(CPACK_VARNOQUIL_STRIP "${CMAKE_STRIP}")
set(CPACK_PRE_BUILD_SCRIPTS "${CMAKE_CURRENT_LIST_DIR}/PackageStripSections.cmake")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${PROJECT_HOMEPAGE_URL}")
# The runtime dependencies are read off the programs by dpkg-shlibdeps, but
# for libcrypto's, which the programs load while they run (platform.h says
# why): the package that holds the library is named here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
get_filename_component(crypto_library "${OPENSSL_CRYPTO_LIBRARY}" REALPATH)
execute_process(COMMAND dpkg-query -S "${crypto_library}"
  OUTPUT_VARIABLE crypto_owner ERROR_QUIET OUTPUT_STRIP_TRAILING_WHITESPACE)
string(REGEX REPLACE ":.*" "" crypto_package "${crypto_owner}")
string(REGEX MATCH "[0-9]+$" crypto_major "${crypto_library}")
if(crypto_package)
  set(CPACK_DEBIAN_PACKAGE_DEPENDS "${crypto_package} (>= ${crypto_major}.0.0)")
endif()
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)

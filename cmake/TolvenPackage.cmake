# The Debian package of the Linux program: `cpack -G DEB` in the release build directory. The
# shared libraries it links (libc, libstdc++, libblkid, libmount, libjpeg, ...) become its
# dependencies through dpkg-shlibdeps. Its version is the project's.
include(GNUInstallDirs)
set(TOLVEN_DOC_DIR ${CMAKE_INSTALL_DATADIR}/doc/tolvenformat)

# The copyright file carries the font's notice as THIRD-PARTY-NOTICES words it, and points at
# Debian's copy of the GPL instead of repeating its text.
file(READ ${PROJECT_SOURCE_DIR}/THIRD-PARTY-NOTICES _tolven_notices)
string(FIND "${_tolven_notices}" "The text of the GNU General Public License, version 2:" _tolven_gpl_at)
if(_tolven_gpl_at LESS 0)
    message(FATAL_ERROR "THIRD-PARTY-NOTICES no longer introduces the GPL's text: update cmake/TolvenPackage.cmake")
endif()
string(SUBSTRING "${_tolven_notices}" 0 ${_tolven_gpl_at} TOLVEN_FONT_NOTICE)
configure_file(cmake/debian/copyright.in ${PROJECT_BINARY_DIR}/debian/copyright @ONLY)

# A native package's changelog is changelog.gz, compressed as Debian does (maximum, no timestamp);
# its entry carries the project's version.
configure_file(cmake/debian/changelog.in ${PROJECT_BINARY_DIR}/debian/changelog @ONLY)
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/debian/changelog.gz
                   COMMAND gzip -9 -n -c ${PROJECT_BINARY_DIR}/debian/changelog >
                           ${PROJECT_BINARY_DIR}/debian/changelog.gz
                   DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog
                   VERBATIM)
add_custom_target(tolvenformat_changelog ALL DEPENDS ${PROJECT_BINARY_DIR}/debian/changelog.gz)
install(FILES ${PROJECT_BINARY_DIR}/debian/copyright ${PROJECT_BINARY_DIR}/debian/changelog.gz
        DESTINATION ${TOLVEN_DOC_DIR})

set(CPACK_PACKAGE_NAME tolvenformat)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TolvenFormat")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "format utility for Tolven portable media players")
# The description's lines stay within 80 columns, as Debian's tools show them.
set(CPACK_PACKAGE_DESCRIPTION
    "Finds a Tolven player among the USB disks or the disk images it is given,
names the target, and on confirmation formats its volume as FAT32, labels it
PMP and writes the player's folders and system files.")
set(CPACK_PACKAGE_CONTACT "TolvenFormat developers <tolvenformat@tolven.example>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion, dosfstools, mtools")
set(CPACK_STRIP_FILES ON)
include(CPack)

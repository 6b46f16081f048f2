# The Debian package of the Linux program: `cpack -G DEB` in the release build directory. The
# shared libraries it links (libc, libstdc++, libblkid, libmount, libjpeg, ...) become its
# dependencies through dpkg-shlibdeps.
set(CPACK_PACKAGE_NAME tolvenformat)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "TolvenFormat")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "format utility for Tolven portable media players")
set(CPACK_PACKAGE_DESCRIPTION
    "Finds a Tolven player among the USB disks or the disk images it is given, names the target, and on
confirmation formats its volume as FAT32, labels it PMP and writes the player's folders and system files.")
set(CPACK_PACKAGE_CONTACT "TolvenFormat developers <tolvenformat@localhost>")
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "bash-completion, dosfstools, mtools")
include(CPack)

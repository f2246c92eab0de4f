# SPDX-License-Identifier: GPL-2.0-or-later
# What a desktop needs besides the programs (launcher, theme icons, software-centre entry), and the
# Debian package that `cpack -G DEB` builds from every install rule of the project, the programs'
# own included. Included last from the top-level CMakeLists.txt.
include(GNUInstallDirs)
set(leafbind_resources ${PROJECT_SOURCE_DIR}/resources)
install(FILES ${leafbind_resources}/leafbind.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(DIRECTORY ${leafbind_resources}/icons/hicolor DESTINATION ${CMAKE_INSTALL_DATADIR}/icons)
install(FILES ${leafbind_resources}/org.example.leafbind.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
# A sample user unit for leafbind-watch, where systemd looks for the units packages bring.
install(FILES ${leafbind_resources}/leafbind-watch.service DESTINATION lib/systemd/user)
# Debian's machine-readable copyright file: our own files are GPL-2.0-or-later.
install(FILES ${leafbind_resources}/debian/copyright DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/leafbind)

set(CPACK_PACKAGE_NAME leafbind)
set(CPACK_PACKAGE_VENDOR "The Leafbind developers")
set(CPACK_PACKAGE_CONTACT "The Leafbind developers <developers@leafbind.example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "puts JPEG photographs into one PDF file, one per page")
set(CPACK_PACKAGE_DESCRIPTION "Every page of the PDF is exactly as large as its image and carries the
JPEG file's bytes unchanged. The list of photographs is built, reordered and
saved in a small desktop window; leafbind-export writes the same PDF from
the command line, leafbind-extract gets the JPEG files back from any
PDF or checks a PDF against them, and leafbind-watch makes a PDF of each
folder of scans put into a watched folder (a sample systemd user unit
comes with it).")
set(CPACK_PACKAGE_HOMEPAGE_URL "https://leafbind.example.org")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)  # leafbind_<version>_<architecture>.deb
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
# The libraries the programs link are found by dpkg-shlibdeps; what Qt loads by name at run time
# (the Wayland platform), the shell's opener of web addresses and the faces it looks for by name
# cannot be seen there.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# leafbind-export --ocr reads English by default and turns pages with the orientation data; both are
# data packages, which no library dependency names.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "tesseract-ocr-eng, tesseract-ocr-osd, qt6-wayland, xdg-utils, fonts-wine, fonts-urw-base35, fonts-dejavu-core")
include(CPack)

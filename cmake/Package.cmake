# The Debian package: cmake --build BUILD --target package writes
# tabulon_VERSION_ARCH.deb from what the install rules put in place, under
# /usr. Build it from an optimised build without the sanitizers.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME tabulon)
set(CPACK_PACKAGE_VENDOR Korvanex)
set(CPACK_PACKAGE_CONTACT "Korvanex <tabulon@korvanex.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "keep a list of items and publish it as an HTML table page")
set(CPACK_PACKAGE_DESCRIPTION
  "Tabulon keeps a small flat database of items such as music, films, books or
files, one item per line of a text file, in two tables: a scratch table
filled from a folder's file names or another database file, and the
database itself. It publishes the database as an HTML page that holds the
items as a table with the user's head and end, colours and an alphabetical
index, uploads it by FTP when asked, and can make the page from the command
line without a window.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE https://www.korvanex.com)
# The libraries the program links (Qt 6 widgets, libcurl for the upload,
# the C++ runtime) come with their versions from dpkg-shlibdeps; to them
# comes xdg-open, which opens the page and the head and end files.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "xdg-utils")
# The native window on a Wayland desktop; without it Qt falls back to X11.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

# What every Debian package carries beside its files, in
# share/doc/tabulon: the licence in the machine-readable copyright format,
# and the changelog of a native package, compressed without a time stamp.
# Its newest entry is the version in project() on TABULON_RELEASE_DATE;
# when that changes, write the version and day into the entry below it by
# hand and say what is new above.
# The day as the changelog writes it, "Tue, 08 Dec 2026 12:00:00 +0000".
execute_process(COMMAND date -u -R -d "${TABULON_RELEASE_DATE} 12:00"
  OUTPUT_VARIABLE TABULON_RELEASE_DAY OUTPUT_STRIP_TRAILING_WHITESPACE RESULT_VARIABLE date_failed)
if(date_failed)
  message(FATAL_ERROR "TABULON_RELEASE_DATE is ${TABULON_RELEASE_DATE}, not a day written YYYY-MM-DD")
endif()
set(doc ${PROJECT_BINARY_DIR}/doc)
configure_file(${PROJECT_SOURCE_DIR}/resources/changelog.in ${doc}/changelog @ONLY)
execute_process(COMMAND ${TABULON_GZIP} -9nc ${doc}/changelog OUTPUT_FILE ${doc}/changelog.gz
  RESULT_VARIABLE gzip_failed)
if(gzip_failed)
  message(FATAL_ERROR "gzip could not compress ${doc}/changelog")
endif()
install(FILES ${doc}/changelog.gz ${PROJECT_SOURCE_DIR}/resources/copyright
  DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/tabulon)
include(CPack)

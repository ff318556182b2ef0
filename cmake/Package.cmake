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
# The libraries the program links (Qt 6 widgets, the C++ runtime) come from
# dpkg-shlibdeps; to them come libcurl, the FTP client of the upload, and
# xdg-open, which opens the page and the head and end files.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libcurl4, xdg-utils")
# The native window on a Wayland desktop; without it Qt falls back to X11.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

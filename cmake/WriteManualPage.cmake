# Run at install time: writes the manual page with the example's folder
# under the prefix that this install uses.
# In: TEMPLATE, PROJECT_VERSION, TABULON_RELEASE_DATE, EXAMPLE_DIR and
# MAN_DIR (each relative to the prefix, or absolute).
foreach(dir EXAMPLE_DIR MAN_DIR)
  if(NOT IS_ABSOLUTE "${${dir}}")
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
  endif()
endforeach()
set(page "$ENV{DESTDIR}${MAN_DIR}/man1/tabulon.1")
message(STATUS "Installing: ${page}")
configure_file("${TEMPLATE}" "${page}" @ONLY)
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${page}")

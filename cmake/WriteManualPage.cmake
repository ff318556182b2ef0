# Run at install time: writes the manual page with the example's folder
# under the prefix that this install uses, compressed as man expects it.
# In: TEMPLATE, PROJECT_VERSION, TABULON_RELEASE_DATE, EXAMPLE_DIR and
# MAN_DIR (each relative to the prefix, or absolute), and GZIP.
foreach(dir EXAMPLE_DIR MAN_DIR)
  if(NOT IS_ABSOLUTE "${${dir}}")
    set(${dir} "${CMAKE_INSTALL_PREFIX}/${${dir}}")
  endif()
endforeach()
set(page "$ENV{DESTDIR}${MAN_DIR}/man1/tabulon.1")
message(STATUS "Installing: ${page}.gz")
configure_file("${TEMPLATE}" "${page}" @ONLY)
# -n keeps the time and name out of the archive, so that the same page
# always gives the same bytes; -f replaces a page an earlier install left.
execute_process(COMMAND "${GZIP}" -9nf "${page}" RESULT_VARIABLE failed)
if(failed)
  message(FATAL_ERROR "gzip could not compress ${page}")
endif()
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${page}.gz")

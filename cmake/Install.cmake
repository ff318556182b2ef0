# Where an installed Tabulon lives: the program, its desktop entry, icon,
# metainfo, manual page and the example configuration, in the places a Linux
# desktop looks for them.
include(GNUInstallDirs)

# The desktop entry, icon and metainfo are named after this id, and the
# window announces it, so that the desktop matches the window to its entry.
set(TABULON_APP_ID com.korvanex.Tabulon)
# The day the version in project() was released; change both together.
set(TABULON_RELEASE_DATE 2026-12-08)
target_compile_definitions(tabulon_window_main PRIVATE TABULON_APP_ID="${TABULON_APP_ID}")

# Folders made by the install are readable by everyone, whatever the umask.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
  GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

set(resources ${PROJECT_SOURCE_DIR}/resources)
set(TABULON_EXAMPLE_DIR ${CMAKE_INSTALL_DATADIR}/doc/tabulon/examples)
configure_file(${resources}/${TABULON_APP_ID}.metainfo.xml.in
  ${PROJECT_BINARY_DIR}/resources/${TABULON_APP_ID}.metainfo.xml @ONLY)

install(TARGETS tabulon RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# The window and upload parts, private to the program, in the folder where
# it looks for them.
install(TARGETS tabulon_window tabulon_upload tabulon_collation LIBRARY DESTINATION ${TABULON_MODULE_INSTALL_DIR})
install(FILES ${resources}/${TABULON_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_BINARY_DIR}/resources/${TABULON_APP_ID}.metainfo.xml
  DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${resources}/icons/${TABULON_APP_ID}.svg
  DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
foreach(size 16 32 48 64 128 256)
  install(FILES ${resources}/icons/${TABULON_APP_ID}-${size}.png
    DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${TABULON_APP_ID}.png)
endforeach()
# The manual page names the folder of the example, which depends on the
# prefix given at install time (/usr for the package, /usr/local by default),
# so it is written then, and compressed as man expects it.
find_program(TABULON_GZIP gzip REQUIRED)
install(CODE "
  set(TEMPLATE \"${resources}/tabulon.1.in\")
  set(PROJECT_VERSION \"${PROJECT_VERSION}\")
  set(TABULON_RELEASE_DATE \"${TABULON_RELEASE_DATE}\")
  set(EXAMPLE_DIR \"${TABULON_EXAMPLE_DIR}\")
  set(MAN_DIR \"${CMAKE_INSTALL_MANDIR}\")
  set(GZIP \"${TABULON_GZIP}\")
  include(\"${CMAKE_CURRENT_LIST_DIR}/WriteManualPage.cmake\")
")
# Named one by one: a page made from the example in the source tree is no
# part of it.
install(FILES
  ${PROJECT_SOURCE_DIR}/examples/example.cfg
  ${PROJECT_SOURCE_DIR}/examples/database.db
  ${PROJECT_SOURCE_DIR}/examples/head.htm
  ${PROJECT_SOURCE_DIR}/examples/end.htm
  DESTINATION ${TABULON_EXAMPLE_DIR})

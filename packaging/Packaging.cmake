# Installation and the Debian package: the three programs, and on Linux the
# desktop entry, its icon, the AppStream metadata and the man pages.
include(GNUInstallDirs)

set(GENCFG_APP_ID org.gencfg.gencfg)

foreach(program gencfg gencfg-cli gensim)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()

if(UNIX AND NOT APPLE)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/${GENCFG_APP_ID}.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/${GENCFG_APP_ID}.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  install(FILES ${CMAKE_CURRENT_LIST_DIR}/${GENCFG_APP_ID}.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  # The pages are written by hand in docs/man; Debian installs them compressed.
  set(compressed_pages)
  foreach(page gencfg gencfg-cli gensim)
    set(out ${CMAKE_BINARY_DIR}/man/${page}.1)
    add_custom_command(OUTPUT ${out}.gz
      COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/docs/man/${page}.1 ${out}
      COMMAND gzip -9nf ${out}
      DEPENDS ${CMAKE_SOURCE_DIR}/docs/man/${page}.1
      VERBATIM)
    list(APPEND compressed_pages ${out}.gz)
  endforeach()
  add_custom_target(man_pages ALL DEPENDS ${compressed_pages})
  install(FILES ${compressed_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

  # Installs into a scratch root and runs the installed programs from there.
  add_test(NAME install_tree
           COMMAND ${CMAKE_SOURCE_DIR}/tests/install_tree.sh ${CMAKE_BINARY_DIR} ${PROJECT_VERSION})
  set_tests_properties(install_tree PROPERTIES TIMEOUT 120)
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME gencfg)
set(CPACK_PACKAGE_VENDOR "gencfg")
set(CPACK_PACKAGE_CONTACT "gencfg maintainers <maintainers@gencfg.invalid>" CACHE STRING
    "Maintainer of the Debian package")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configurator and monitor for generator auto-start controllers")
set(CPACK_PACKAGE_DESCRIPTION
"Configures and monitors generator auto-start controllers, version 2.0, in their
petrol, diesel and dry-contact variants, over a serial line: live measurements,
the parameter set, the event and alarm journals, service commands and the raw
traffic. Also gencfg-cli, the same operations from the command line, and gensim,
a simulated controller on a pseudo-terminal.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Qt loads its platform plugins at run time, where dpkg-shlibdeps cannot see them.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-qpa-plugins")
# Qt's own dialogs and buttons in Russian; without it they fall back to English.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-translations-l10n")
set(CPACK_STRIP_FILES ON)
include(CPack)

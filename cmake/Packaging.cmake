# Manual pages, installed with the programs they describe. The Debian packages are built from
# packaging/debian by ./build.sh package; see docs/packaging.md.
install(FILES ${PROJECT_SOURCE_DIR}/docs/man/cognexa.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
if(COGNEXA_BUILD_LAUNCHER)
  install(FILES ${PROJECT_SOURCE_DIR}/docs/man/vestibar.6 DESTINATION ${CMAKE_INSTALL_MANDIR}/man6)
endif()

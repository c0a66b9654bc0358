# cmake --install: the programs in bin/, their data in share/kelvora/ (the
# program finds it there relative to itself), the manual pages, and the
# desktop's menu entry, icons and AppStream metainfo. tools/package turns
# the same layout into a Debian package.
include(GNUInstallDirs)

# Both manual pages come from the text kelvora-cli --help prints.
add_executable(kelvora_make_man cmake/make_man.cpp)
target_link_libraries(kelvora_make_man PRIVATE kelvora_engine)
target_compile_options(kelvora_make_man PRIVATE ${KELVORA_WARNINGS})
set(KELVORA_MAN_DIR ${CMAKE_BINARY_DIR}/man)
add_custom_command(
  OUTPUT ${KELVORA_MAN_DIR}/kelvora.1.gz ${KELVORA_MAN_DIR}/kelvora-cli.1.gz
  COMMAND ${CMAKE_COMMAND} -E make_directory ${KELVORA_MAN_DIR}
  COMMAND kelvora_make_man ${KELVORA_MAN_DIR}
  COMMAND gzip -9nf ${KELVORA_MAN_DIR}/kelvora.1 ${KELVORA_MAN_DIR}/kelvora-cli.1
  DEPENDS kelvora_make_man
  COMMENT "Making the manual pages")
add_custom_target(kelvora_man ALL
  DEPENDS ${KELVORA_MAN_DIR}/kelvora.1.gz ${KELVORA_MAN_DIR}/kelvora-cli.1.gz)

install(TARGETS kelvora-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${KELVORA_MAN_DIR}/kelvora-cli.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/kelvora RENAME copyright)

if(TARGET kelvora)
  set(KELVORA_DATA_DIR ${CMAKE_INSTALL_DATADIR}/kelvora)
  install(TARGETS kelvora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(FILES ${KELVORA_PROGRAM_DIR}/kelvora.html ${KELVORA_PROGRAM_DIR}/about.wav
          DESTINATION ${KELVORA_DATA_DIR})
  install(FILES ${KELVORA_MAN_DIR}/kelvora.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
  set(KELVORA_DESKTOP ${CMAKE_SOURCE_DIR}/src/resources/desktop)
  install(FILES ${KELVORA_DESKTOP}/invalid.kelvora.Kelvora.desktop
          DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${KELVORA_DESKTOP}/invalid.kelvora.Kelvora.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${KELVORA_DESKTOP}/icons/kelvora.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 24 32 48 64 128 256)
    install(FILES ${KELVORA_DESKTOP}/icons/kelvora-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME kelvora.png)
  endforeach()
endif()

include(cmake/package.cmake)

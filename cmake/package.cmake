# A Debian package of the installed layout (tools/package builds it). The
# library dependencies are read from the programs by dpkg-shlibdeps; the
# menu entry, icons and MIME associations are registered by the desktop's
# own dpkg triggers when the package installs.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kelvora)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT "Kelvora developers <dev@kelvora.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "sound editor with a Japanese user interface")
set(CPACK_PACKAGE_DESCRIPTION
    "Kelvora edits one sound at a time in one window: 8- or 16-bit PCM, mono or stereo.\n"
    "It opens and saves WAV, AIFF, AU, FLAC, Ogg Vorbis, Opus and MP3 files, edits\n"
    "through the clipboard, converts formats, applies effects, generates sounds,\n"
    "plays and records. kelvora-cli runs\n"
    "the same operations on files without a window.")
set(CPACK_RESOURCE_FILE_LICENSE ${CMAKE_SOURCE_DIR}/LICENSE)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION sound)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Japanese menus need a Japanese font; Qt's own button texts come from the
# translations package.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS
    "fonts-ipafont-gothic | fonts-noto-cjk, qt6-translations-l10n, qt6-wayland")
set(CPACK_STRIP_FILES ON)
include(CPack)

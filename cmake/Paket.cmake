# The Debian package: `cmake --build <dir> --target package`.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quambel)
set(CPACK_PACKAGE_VENDOR "Das Quambel-Team")
set(CPACK_PACKAGE_CONTACT "Das Quambel-Team <team@quambel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Ballspiel: halte so viele Bälle wie möglich in der Luft")
set(CPACK_PACKAGE_INSTALL_DIRECTORY quambel)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://www.quambel.example/")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Ballspiel: halte so viele Bälle wie möglich in der Luft
 In einem ummauerten Spielfeld steuert man ein Pad und hält so viele Bälle wie
 möglich in der Luft. Jeder gefangene Ball teilt sich, Schüsse teilen Bälle,
 Bonusse bringen Munition und weitere Bälle. Mit MIDI-Musik und Bestenliste.")
# The shared libraries come from dpkg-shlibdeps; what the program loads by
# name at run time (SoundFont, German Qt buttons, fonts) is listed here.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
  "timgm6mb-soundfont | fluid-soundfont-gm, qt6-translations-l10n, fonts-liberation2, fonts-comic-neue, fonts-dejavu-core")
# Debian wants the licence as the package's copyright file.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quambel RENAME copyright)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
include(CPack)

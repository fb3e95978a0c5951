# The package: `cmake --build <dir> --target package`. On Linux a Debian
# package; on Windows a ZIP (and an installer where NSIS is found) with
# everything beside the program: Qt (windeployqt), FluidSynth with its
# libraries, and a SoundFont.
set(CPACK_PACKAGE_VENDOR "Das Quambel-Team")
set(CPACK_PACKAGE_CONTACT "Das Quambel-Team <team@quambel.example>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Ballspiel: halte so viele Bälle wie möglich in der Luft")

if(WIN32)
  set(CPACK_PACKAGE_NAME Quambel)
  set(CPACK_PACKAGE_INSTALL_DIRECTORY Quambel)
  set(CPACK_GENERATOR ZIP)
  find_program(QUAMBEL_MAKENSIS makensis)
  if(QUAMBEL_MAKENSIS)
    list(APPEND CPACK_GENERATOR NSIS)
  endif()
  set(CPACK_PACKAGE_EXECUTABLES quambel Quambel) # the start menu entry
  set(CPACK_NSIS_DISPLAY_NAME Quambel)
  set(CPACK_NSIS_MUI_ICON ${PROJECT_SOURCE_DIR}/assets/bilder/quambel.ico)
  set(CPACK_NSIS_MUI_UNIICON ${PROJECT_SOURCE_DIR}/assets/bilder/quambel.ico)
  set(CPACK_NSIS_INSTALLED_ICON_NAME quambel.exe)
  set(CPACK_NSIS_ENABLE_UNINSTALL_BEFORE_INSTALL ON)

  # Qt's libraries, plugins and German translations through windeployqt.
  qt_generate_deploy_app_script(TARGET quambel OUTPUT_SCRIPT _qt_verteilen NO_UNSUPPORTED_PLATFORM_ERROR)
  install(SCRIPT ${_qt_verteilen})
  # FluidSynth and what it loads (glib, libsndfile, ...), from vcpkg's bin
  # folder; Qt is windeployqt's, the system's own DLLs stay out.
  set(_dll_ordner "")
  if(TARGET FluidSynth::libfluidsynth)
    set(_dll_ordner "$<TARGET_FILE_DIR:FluidSynth::libfluidsynth>")
  endif()
  install(RUNTIME_DEPENDENCY_SET quambel_laufzeit
    PRE_EXCLUDE_REGEXES "^api-ms-" "^ext-ms-" "^Qt6"
    POST_EXCLUDE_REGEXES ".*[Ss]ystem32/.*"
    DIRECTORIES ${_dll_ordner}
    RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # Windows has no SoundFont: the one given here goes beside the program,
  # under a name the player looks for there (README: Windows).
  set(QUAMBEL_SOUNDFONT_BEILAGE "" CACHE FILEPATH "General MIDI SoundFont to ship beside the program")
  if(QUAMBEL_SOUNDFONT_BEILAGE)
    install(FILES ${QUAMBEL_SOUNDFONT_BEILAGE} DESTINATION ${CMAKE_INSTALL_BINDIR} RENAME default-GM.sf2)
  else()
    message(WARNING "No QUAMBEL_SOUNDFONT_BEILAGE: the package will play its music silently")
  endif()
  include(CPack)
  return()
endif()

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME quambel)
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
# On a Wayland desktop Qt needs its Wayland plugin to run there natively
# (without it, it falls back to XWayland: blurry at scale 2).
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "qt6-wayland")
# Debian wants the licence as the package's copyright file.
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION ${CMAKE_INSTALL_DATADIR}/doc/quambel RENAME copyright)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
include(CPack)

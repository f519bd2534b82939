# Checks of the installation, the package and the platform, on Linux.
if(UNIX AND NOT APPLE)
  # The font check, once with the machine's fonts and once with a font configuration
  # that has none.
  kestrane_test(test_cjk_font_check kestrane_startup)
  set(_fontless ${CMAKE_CURRENT_BINARY_DIR}/fontless)
  file(MAKE_DIRECTORY ${_fontless}/fonts)
  file(WRITE ${_fontless}/fonts.conf "<?xml version=\"1.0\"?>\n<!DOCTYPE fontconfig SYSTEM \"fonts.dtd\">\n\
  <fontconfig>\n  <dir>${_fontless}/fonts</dir>\n  <cachedir>${_fontless}/cache</cachedir>\n</fontconfig>\n")
  add_test(NAME test_cjk_font_check_fontless COMMAND test_cjk_font_check)
  set_tests_properties(test_cjk_font_check_fontless PROPERTIES TIMEOUT 300 ENVIRONMENT
    "QT_QPA_PLATFORM=offscreen;FONTCONFIG_FILE=${_fontless}/fonts.conf;KESTRANE_EXPECT_NO_CJK_FONT=1")

  # Installation and the Debian package, checked by a script (exit 77: tools missing).
  foreach(_mode install deb)
    add_test(NAME check_${_mode}_tree
             COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check_install_tree.sh ${_mode} ${PROJECT_BINARY_DIR}
                     ${KESTRANE_APP_ID} ${KESTRANE_VENDOR_ID_HEX} ${PROJECT_VERSION})
    set_tests_properties(check_${_mode}_tree PROPERTIES SKIP_RETURN_CODE 77 TIMEOUT 600
                         ENVIRONMENT "ASAN_OPTIONS=detect_leaks=0")
  endforeach()

  add_test(NAME check_portable_sources
           COMMAND ${CMAKE_CURRENT_SOURCE_DIR}/check_portable_sources.sh ${PROJECT_SOURCE_DIR}/src
                   ${PROJECT_SOURCE_DIR}/tools ${PROJECT_SOURCE_DIR}/bench)
endif()

# Installation layout and the Debian package.
#
#   cmake --install build --prefix /usr/local     bin/, udev rule, desktop entry, icons
#   cpack --config build/CPackConfig.cmake         kestrane_<version>_<arch>.deb
include(GNUInstallDirs)

install(TARGETS kestrane kestrane-cli RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})

# The vendor id as four lower-case hex digits (udev) and upper-case (modalias).
math(EXPR _vendor "${KESTRANE_VENDOR_ID}" OUTPUT_FORMAT HEXADECIMAL)
string(REGEX REPLACE "^0x" "" _vendor "${_vendor}")
string(LENGTH "${_vendor}" _len)
while(_len LESS 4)
  string(PREPEND _vendor "0")
  math(EXPR _len "${_len} + 1")
endwhile()
string(TOLOWER "${_vendor}" KESTRANE_VENDOR_ID_HEX)
string(TOUPPER "${_vendor}" KESTRANE_VENDOR_ID_HEX_UPPER)

if(UNIX AND NOT APPLE)
  set(_gen ${PROJECT_BINARY_DIR}/desktop)

  # The udev rule names the default vendor id; an install built for another id gets
  # a rule for that one.
  file(READ ${PROJECT_SOURCE_DIR}/resources/udev/70-kestrane.rules _rule)
  string(REPLACE "\"2e7e\"" "\"${KESTRANE_VENDOR_ID_HEX}\"" _rule "${_rule}")
  file(CONFIGURE OUTPUT ${_gen}/70-kestrane.rules CONTENT "${_rule}" @ONLY)
  # udev reads lib/udev/rules.d under /usr and /usr/local, whatever the libdir is.
  install(FILES ${_gen}/70-kestrane.rules DESTINATION lib/udev/rules.d)

  configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/kestrane.desktop.in
                 ${_gen}/${KESTRANE_APP_ID}.desktop @ONLY)
  configure_file(${PROJECT_SOURCE_DIR}/resources/desktop/kestrane.metainfo.xml.in
                 ${_gen}/${KESTRANE_APP_ID}.metainfo.xml @ONLY)
  install(FILES ${_gen}/${KESTRANE_APP_ID}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${_gen}/${KESTRANE_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

  foreach(_px 16 24 32 48 64 128 256)
    install(FILES ${PROJECT_SOURCE_DIR}/resources/desktop/icons/kestrane-${_px}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${_px}x${_px}/apps
            RENAME ${KESTRANE_APP_ID}.png)
  endforeach()
  install(FILES ${PROJECT_SOURCE_DIR}/resources/icons/src/qv_logo.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps
          RENAME ${KESTRANE_APP_ID}.svg)
endif()

# Debian package. The shared libraries the programs link come from dpkg-shlibdeps;
# what is loaded at run time (the display plugins, GStreamer's camera source) is named.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME kestrane)
set(CPACK_PACKAGE_VENDOR "Kestrane")
set(CPACK_PACKAGE_CONTACT "Kestrane developers <kestrane@example.org>" CACHE STRING "Package maintainer")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Control and preview USB PTZ conference cameras")
set(CPACK_PACKAGE_DESCRIPTION
    "Kestrane finds the USB PTZ cameras of one family, controls their image, exposure, colour, \
focus, pan/tilt/zoom, presets, colour tables, firmware and names over HID, and previews their \
video. The user interface is in Simplified Chinese. Includes kestrane-cli and a udev rule that \
lets the logged-in user open the cameras.")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION video)
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "${KESTRANE_HOMEPAGE}")
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS
    "qt6-qpa-plugins, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "fonts-noto-cjk | fonts-wqy-microhei")
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/resources/debian/postinst)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)

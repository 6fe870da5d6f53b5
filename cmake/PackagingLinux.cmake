# What a Linux user receives: the hack as a Debian package, installed where XScreenSaver looks for
# hacks and their settings descriptions. Build with `cpack` in build/linux, or scripts/package.sh.

# Debian keeps manual pages compressed, reproducibly (no name or time in the header).
add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/lumenweave.6.gz
  COMMAND gzip -9nc ${PROJECT_SOURCE_DIR}/packaging/linux/lumenweave.6 > ${PROJECT_BINARY_DIR}/lumenweave.6.gz
  DEPENDS ${PROJECT_SOURCE_DIR}/packaging/linux/lumenweave.6)
add_custom_target(lumenweave_manual ALL DEPENDS ${PROJECT_BINARY_DIR}/lumenweave.6.gz)

install(TARGETS lumenweave RUNTIME DESTINATION libexec/xscreensaver)
install(FILES packaging/linux/lumenweave.xml DESTINATION share/xscreensaver/config)
install(FILES ${PROJECT_BINARY_DIR}/lumenweave.6.gz DESTINATION share/man/man6)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME lumenweave)
set(CPACK_PACKAGE_VENDOR "Lumenweave developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "particle screen saver for XScreenSaver")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Yellow sparks jitter around two mirrored emitters that a small spring model
swings across the screen, painting trails or moving as single dots.
Optionally plays an MP3 or WAV file in a loop.")
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lumenweave developers <lumenweave@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
# The libraries come from dpkg-shlibdeps; playbin and the decoders are plugins it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
include(CPack)

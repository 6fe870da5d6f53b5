# What a Linux user receives: the hack as a Debian package, installed where XScreenSaver looks for
# hacks and their settings descriptions. Build with `cpack` in build/linux, or scripts/package.sh.

# Debian's build flags with all its hardening (stack protector, fortified functions, read-only
# relocations bound now), as dh would pass them; the linux preset turns this on.
option(LW_DEB_BUILDFLAGS "Compile and link the hack with dpkg-buildflags' flags, hardening=+all" OFF)
if(LW_DEB_BUILDFLAGS)
  foreach(kind CPPFLAGS CXXFLAGS LDFLAGS)
    execute_process(COMMAND env DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get ${kind}
      WORKING_DIRECTORY ${PROJECT_SOURCE_DIR} OUTPUT_VARIABLE deb_${kind} OUTPUT_STRIP_TRAILING_WHITESPACE
      COMMAND_ERROR_IS_FATAL ANY)
  endforeach()
  # The directory's last value applies to every target defined here, the hack and its logic.
  string(APPEND CMAKE_CXX_FLAGS " ${deb_CPPFLAGS} ${deb_CXXFLAGS}")
  string(APPEND CMAKE_EXE_LINKER_FLAGS " ${deb_LDFLAGS}")
endif()

# Debian keeps manual pages and changelogs compressed, reproducibly (no name or time in the header).
configure_file(packaging/linux/changelog.in ${PROJECT_BINARY_DIR}/changelog @ONLY)
foreach(source ${PROJECT_SOURCE_DIR}/packaging/linux/lumenweave.6 ${PROJECT_BINARY_DIR}/changelog)
  get_filename_component(name ${source} NAME)
  add_custom_command(OUTPUT ${PROJECT_BINARY_DIR}/${name}.gz
    COMMAND gzip -9nc ${source} > ${PROJECT_BINARY_DIR}/${name}.gz DEPENDS ${source})
endforeach()
add_custom_target(lumenweave_docs ALL DEPENDS ${PROJECT_BINARY_DIR}/lumenweave.6.gz ${PROJECT_BINARY_DIR}/changelog.gz)

install(TARGETS lumenweave RUNTIME DESTINATION libexec/xscreensaver)
# Stripped as dh_strip strips: unneeded symbols and the .comment and .note sections go.
install(CODE "execute_process(COMMAND ${CMAKE_STRIP} --remove-section=.comment --remove-section=.note
  --strip-unneeded \$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/libexec/xscreensaver/lumenweave COMMAND_ERROR_IS_FATAL ANY)")
install(FILES packaging/linux/lumenweave.xml DESTINATION share/xscreensaver/config)
install(FILES ${PROJECT_BINARY_DIR}/lumenweave.6.gz DESTINATION share/man/man6)
install(FILES packaging/linux/copyright ${PROJECT_BINARY_DIR}/changelog.gz DESTINATION share/doc/lumenweave)

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
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Lumenweave developers <maintainers@lumenweave.example>")
set(CPACK_DEBIAN_PACKAGE_SECTION x11)
# The libraries come from dpkg-shlibdeps; playbin and the decoders are plugins it cannot see.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xscreensaver, gstreamer1.0-plugins-base, gstreamer1.0-plugins-good")
include(CPack)

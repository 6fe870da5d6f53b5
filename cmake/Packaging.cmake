# What a Windows user receives: Lumenweave.scr with a plain-text README and the licence, as a
# portable ZIP and as a per-user NSIS installer (packaging/NSIS.template.in). Both carry the
# project version. Build with `cpack` in build/windows, or scripts/package.sh.

# The Windows user's part of README.md (everything before the Linux and developers' sections)
# becomes README.txt, with Windows line ends so that every editor shows it as written.
set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/README.md)
file(READ ${PROJECT_SOURCE_DIR}/README.md lw_readme)
string(FIND "${lw_readme}" "\n## For Linux users" lw_developers_at)
if(lw_developers_at EQUAL -1)
  string(FIND "${lw_readme}" "\n## For developers" lw_developers_at)
endif()
if(lw_developers_at GREATER -1)
  string(SUBSTRING "${lw_readme}" 0 ${lw_developers_at} lw_readme)
endif()
# Pictures mean nothing in a text file.
string(REGEX REPLACE "\n!\\[[^\n]*" "" lw_readme "${lw_readme}")
string(REPLACE "\r\n" "\n" lw_readme "${lw_readme}")
string(REPLACE "\n" "\r\n" lw_readme "${lw_readme}")
# A byte-order mark, so that Notepad on a Japanese system reads UTF-8 and not code page 932.
string(ASCII 239 187 191 lw_bom)
string(PREPEND lw_readme "${lw_bom}")
set(lw_readme_txt ${PROJECT_BINARY_DIR}/package/README.txt)
set(lw_readme_old "")
if(EXISTS ${lw_readme_txt})
  file(READ ${lw_readme_txt} lw_readme_old)
endif()
if(NOT lw_readme_old STREQUAL "${lw_readme}\r\n")
  file(WRITE ${lw_readme_txt} "${lw_readme}\r\n")
endif()

install(TARGETS lumenweave_scr RUNTIME DESTINATION .)
install(FILES ${lw_readme_txt} DESTINATION .)
install(FILES ${PROJECT_SOURCE_DIR}/LICENSE DESTINATION . RENAME LICENSE.txt)

set(CPACK_PACKAGE_NAME Lumenweave)
set(CPACK_PACKAGE_VENDOR "Lumenweave developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "${PROJECT_DESCRIPTION}")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VERSION_MAJOR ${PROJECT_VERSION_MAJOR})
set(CPACK_PACKAGE_VERSION_MINOR ${PROJECT_VERSION_MINOR})
set(CPACK_PACKAGE_VERSION_PATCH ${PROJECT_VERSION_PATCH})
set(CPACK_PACKAGE_INSTALL_DIRECTORY Lumenweave)
set(CPACK_RESOURCE_FILE_LICENSE ${PROJECT_SOURCE_DIR}/LICENSE)
set(CPACK_PACKAGE_DIRECTORY ${PROJECT_BINARY_DIR}/packages)
set(CPACK_GENERATOR ZIP NSIS)
# Our own installer script: per user, no administrator rights, sets the saver.
set(CPACK_MODULE_PATH ${PROJECT_SOURCE_DIR}/packaging)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/packaging/CPackOptions.cmake)
# The saver's own icon on the installer and the uninstaller, once the artwork has one.
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/art/lumenweave.ico)
  set(CPACK_LW_INSTALLER_ICON ${PROJECT_SOURCE_DIR}/resources/art/lumenweave.ico)
endif()
include(CPack)

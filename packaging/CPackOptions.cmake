# Read by cpack once per generator.
if(CPACK_GENERATOR STREQUAL "ZIP")
  # The ZIP unpacks into one folder named like the package.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON)
elseif(CPACK_GENERATOR STREQUAL "NSIS")
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  set(CPACK_PACKAGE_FILE_NAME "${CPACK_PACKAGE_FILE_NAME}-setup")
endif()

# What an operator copies onto a server: ArkApi/Plugins/Quorvane/ with the plugin and a
# starter config.json, plus the development host under devhost/ for checking a configuration
# before it goes live ("devhost/bin/devhost --check --server-dir ."). Unpack the archive in
# the server's working directory.

set(QUORVANE_PLUGIN_DIR ArkApi/Plugins/Quorvane)
# Packing takes what is built and builds nothing itself: cpack then takes a second, and a test
# that packs never rebuilds the tree under the other tests' feet.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

# Import libraries (Windows) are for linking, not for servers: only an explicit install of the
# "development" component copies them.
install(TARGETS Quorvane
        LIBRARY DESTINATION ${QUORVANE_PLUGIN_DIR}
        RUNTIME DESTINATION ${QUORVANE_PLUGIN_DIR}
        ARCHIVE DESTINATION lib COMPONENT development EXCLUDE_FROM_ALL)
install(FILES examples/server/ArkApi/Plugins/Quorvane/config.json
              examples/config.schema.json
        DESTINATION ${QUORVANE_PLUGIN_DIR})

# The program finds its host library in ../lib (on Windows the DLL sits beside the program).
set_target_properties(devhost_program PROPERTIES INSTALL_RPATH "$ORIGIN/../lib")
install(TARGETS devhost_program devhost_host
        RUNTIME DESTINATION devhost/bin
        LIBRARY DESTINATION devhost/lib
        ARCHIVE DESTINATION lib COMPONENT development EXCLUDE_FROM_ALL)
install(FILES README.md DESTINATION devhost)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_PACKAGE_NAME Quorvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME
    "Quorvane-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
# Unpacked straight into the server folder, so no extra top-level folder.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

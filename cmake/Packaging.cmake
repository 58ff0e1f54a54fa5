# The operator's toolkit: one folder, QuorvaneTools/, with the development host, its own plugin
# build, everything those need to run, the operator's README, the changelog, the starter files
# and the example folders the README uses. It is for checking a configuration and trying
# commands before they go live, and runs from anywhere ("QuorvaneTools/devhost --check
# --server-dir PATH"). Nothing in it belongs where the real host or game loads files: this
# plugin build is not ABI-compatible with a real host, and the host library (version.dll on
# Windows) beside the game's executable would be loaded by the game.

set(QUORVANE_TOOLKIT_DIR QuorvaneTools)
# Packing takes what is built and builds nothing itself: cpack then takes seconds, and a test
# that packs never rebuilds the tree under the other tests' feet.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)

# The program and the plugin find the host library beside them.
set_target_properties(devhost_program Quorvane PROPERTIES INSTALL_RPATH "$ORIGIN")
# Import libraries (Windows) are for linking, not for operators: only an explicit install of
# the "development" component copies them.
install(TARGETS devhost_program devhost_host Quorvane
        RUNTIME DESTINATION ${QUORVANE_TOOLKIT_DIR}
        LIBRARY DESTINATION ${QUORVANE_TOOLKIT_DIR}
        ARCHIVE DESTINATION lib COMPONENT development EXCLUDE_FROM_ALL)
if(QUORVANE_RUNTIME_DLLS)
  # The compiler's runtime DLLs, which Windows does not have.
  install(FILES ${QUORVANE_RUNTIME_DLLS} DESTINATION ${QUORVANE_TOOLKIT_DIR})
  # Stripping covers only built targets; the compiler's DLLs carry debug information too
  # (libstdc++-6.dll is 23 MB with it, 2 MB without).
  foreach(runtime ${QUORVANE_RUNTIME_DLLS})
    get_filename_component(runtime_name ${runtime} NAME)
    install(CODE "if(CMAKE_INSTALL_DO_STRIP)
      execute_process(COMMAND \"${CMAKE_STRIP}\" --strip-unneeded
        \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${QUORVANE_TOOLKIT_DIR}/${runtime_name}\"
        COMMAND_ERROR_IS_FATAL ANY)
    endif()")
  endforeach()
endif()
# The operator's README, with this platform's commands; the project's README.md is the
# developer's and stays out of the archive.
include(cmake/OperatorReadme.cmake)
quorvane_operator_readme(${CMAKE_BINARY_DIR}/operator/README.md "${WIN32}")
install(FILES ${CMAKE_BINARY_DIR}/operator/README.md CHANGELOG.md
        DESTINATION ${QUORVANE_TOOLKIT_DIR})
# The README's pictures, so its links hold in the unpacked folder too.
install(FILES docs/check-page.png DESTINATION ${QUORVANE_TOOLKIT_DIR}/docs)
# Starter files, which "devhost --init" copies into a server folder that has none, and the
# example folders the README runs the check on.
install(FILES examples/config.json examples/config.schema.json
              examples/session.txt
        DESTINATION ${QUORVANE_TOOLKIT_DIR}/examples)
install(DIRECTORY examples/mistakes examples/reload
        DESTINATION ${QUORVANE_TOOLKIT_DIR}/examples)

if(WIN32)
  set(CPACK_GENERATOR ZIP)
else()
  set(CPACK_GENERATOR TGZ)
endif()
set(CPACK_PACKAGE_NAME QuorvaneTools)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_FILE_NAME
    "QuorvaneTools-${PROJECT_VERSION}-${CMAKE_SYSTEM_NAME}-${CMAKE_SYSTEM_PROCESSOR}")
# The archive's one top folder is QuorvaneTools/ itself.
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
# Debug information stays in the build tree; the archive gets stripped binaries.
set(CPACK_STRIP_FILES TRUE)
set(CPACK_PACKAGE_DIRECTORY ${CMAKE_BINARY_DIR}/package)
include(CPack)

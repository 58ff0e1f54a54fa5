# Dependencies of the Windows cross build. Debian's -dev packages hold Linux builds, so this
# makes the targets the Linux build gets from find_package out of their headers alone. Each
# package's header folder is exposed on its own, through a folder holding one link to it:
# the cross compiler never sees the rest of /usr/include.

set(QUORVANE_CROSS_HEADERS ${CMAKE_BINARY_DIR}/cross-headers)

function(quorvane_header_target target folder)
  if(NOT IS_DIRECTORY /usr/include/${folder})
    message(FATAL_ERROR "/usr/include/${folder} is missing: install its Debian -dev package "
                        "(scripts/deps.sh)")
  endif()
  set(root ${QUORVANE_CROSS_HEADERS}/${folder})
  file(MAKE_DIRECTORY ${root})
  file(CREATE_LINK /usr/include/${folder} ${root}/${folder} SYMBOLIC)
  add_library(${target} INTERFACE IMPORTED)
  set_target_properties(${target} PROPERTIES INTERFACE_INCLUDE_DIRECTORIES ${root})
endfunction()

quorvane_header_target(nlohmann_json::nlohmann_json nlohmann)
quorvane_header_target(CLI11::CLI11 CLI)
quorvane_header_target(fmt::fmt fmt)
set_target_properties(fmt::fmt PROPERTIES INTERFACE_COMPILE_DEFINITIONS FMT_HEADER_ONLY)
quorvane_header_target(utf8cpp utf8cpp)
# spdlog is the host's release, header-only, as on Linux (cmake/HostLibraries.cmake). Its
# pattern formatter belongs to each logger, so nothing of Quorvane.dll stays in the host's
# sinks after FreeLibrary.

# GoogleTest from the sources Debian ships, built only when the tests are.
set(QUORVANE_GTEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources (Debian: googletest)")
if(QUORVANE_BUILD_TESTS)
  if(NOT EXISTS ${QUORVANE_GTEST_SOURCE}/googletest/src/gtest-all.cc)
    message(FATAL_ERROR "GoogleTest sources not found in ${QUORVANE_GTEST_SOURCE}: install the "
                        "Debian package googletest")
  endif()
  function(quorvane_gtest_library target alias part source)
    add_library(${target} STATIC EXCLUDE_FROM_ALL ${QUORVANE_GTEST_SOURCE}/${part}/src/${source})
    target_include_directories(${target} SYSTEM
      PUBLIC ${QUORVANE_GTEST_SOURCE}/${part}/include PRIVATE ${QUORVANE_GTEST_SOURCE}/${part})
    add_library(${alias} ALIAS ${target})
  endfunction()
  quorvane_gtest_library(quorvane_gtest GTest::gtest googletest gtest-all.cc)
  quorvane_gtest_library(quorvane_gtest_main GTest::gtest_main googletest gtest_main.cc)
  target_link_libraries(quorvane_gtest_main PUBLIC quorvane_gtest)
  quorvane_gtest_library(quorvane_gmock GTest::gmock googlemock gmock-all.cc)
  target_link_libraries(quorvane_gmock PUBLIC quorvane_gtest)
  quorvane_gtest_library(quorvane_gmock_main GTest::gmock_main googlemock gmock_main.cc)
  target_link_libraries(quorvane_gmock_main PUBLIC quorvane_gmock)
endif()

# Host and plugin share one C++ runtime, as they share one on Linux: the compiler's runtime
# DLLs go next to the programs, where the Windows loader looks first (and into the toolkit,
# QUORVANE_RUNTIME_DLLS).
foreach(runtime libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${runtime}
                  OUTPUT_VARIABLE runtime_path OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT IS_ABSOLUTE "${runtime_path}" OR NOT EXISTS "${runtime_path}")
    message(FATAL_ERROR "${CMAKE_CXX_COMPILER} has no ${runtime}")
  endif()
  file(COPY ${runtime_path} DESTINATION ${CMAKE_BINARY_DIR}/bin)
  list(APPEND QUORVANE_RUNTIME_DLLS ${CMAKE_BINARY_DIR}/bin/${runtime})
endforeach()

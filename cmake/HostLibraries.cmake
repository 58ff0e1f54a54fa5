# The releases the game server's plugin host is built on: the plugin shares the host's spdlog
# sinks, strings and vectors across the module boundary, so it (and the development host's host
# library, which stands in for the real one) must be built on the very same releases.
#   spdlog 0.17.0, with the fmt 4.1.0 it bundles (target `spdlog`, header-only)
#   nlohmann json 3.1.0 (target `nlohmann_json`)
# Each is pinned by repository and commit and fetched when the build has network access.
# Offline, QUORVANE_HOST_LIBS names a folder holding the unpacked releases (spdlog-0.17.0/,
# json-3.1.0/); it defaults to ../shared/host-libs beside the checkout when that exists.
# FETCHCONTENT_SOURCE_DIR_SPDLOG and FETCHCONTENT_SOURCE_DIR_NLOHMANN_JSON, FetchContent's own
# overrides, point at a real host's copies one by one and win over QUORVANE_HOST_LIBS.

include(FetchContent)

set(quorvane_default_host_libs "")
if(EXISTS ${PROJECT_SOURCE_DIR}/../shared/host-libs/spdlog-0.17.0/include/spdlog/spdlog.h)
  get_filename_component(quorvane_default_host_libs ${PROJECT_SOURCE_DIR}/../shared/host-libs
                         ABSOLUTE)
endif()
set(QUORVANE_HOST_LIBS "${quorvane_default_host_libs}" CACHE PATH
    "Folder of unpacked host library releases (spdlog-0.17.0/, json-3.1.0/); empty to fetch")

if(QUORVANE_HOST_LIBS)
  foreach(release spdlog-0.17.0 json-3.1.0)
    if(NOT IS_DIRECTORY ${QUORVANE_HOST_LIBS}/${release})
      message(FATAL_ERROR "QUORVANE_HOST_LIBS=${QUORVANE_HOST_LIBS} has no ${release}/")
    endif()
  endforeach()
  if(NOT FETCHCONTENT_SOURCE_DIR_SPDLOG)
    set(FETCHCONTENT_SOURCE_DIR_SPDLOG ${QUORVANE_HOST_LIBS}/spdlog-0.17.0)
  endif()
  if(NOT FETCHCONTENT_SOURCE_DIR_NLOHMANN_JSON)
    set(FETCHCONTENT_SOURCE_DIR_NLOHMANN_JSON ${QUORVANE_HOST_LIBS}/json-3.1.0)
  endif()
endif()

FetchContent_Declare(spdlog
  GIT_REPOSITORY https://github.com/gabime/spdlog.git
  GIT_TAG 560df2878ad308b27873b3cc5e810635d69cfad6  # v0.17.0
  GIT_SHALLOW FALSE)
FetchContent_Declare(nlohmann_json
  GIT_REPOSITORY https://github.com/nlohmann/json.git
  GIT_TAG 97309f0da98b99e9b7c04b54a1b1ae2504c06ce3  # v3.1.0
  GIT_SHALLOW FALSE)

# Their own tests, install rules and package registry entries are not ours.
set(SPDLOG_BUILD_TESTING OFF CACHE BOOL "" FORCE)
set(SPDLOG_BUILD_EXAMPLES OFF CACHE BOOL "" FORCE)
set(JSON_BuildTests OFF CACHE BOOL "" FORCE)
set(CMAKE_EXPORT_NO_PACKAGE_REGISTRY ON)

foreach(release spdlog nlohmann_json)
  FetchContent_GetProperties(${release})
  if(NOT ${release}_POPULATED)
    FetchContent_Populate(${release})
  endif()
  # SYSTEM: their headers are not held to our warnings; EXCLUDE_FROM_ALL keeps their install
  # rules out of the toolkit.
  add_subdirectory(${${release}_SOURCE_DIR} ${${release}_BINARY_DIR} EXCLUDE_FROM_ALL SYSTEM)
endforeach()

# Reproducible builds: the same sources give the same bytes, whoever builds
# them, in whatever folder, at whatever time. Included by the top-level
# CMakeLists.txt before any target, for both platforms.
#
# MERAVEL_SOURCE_DATE_EPOCH is the one time the release files carry (the
# program's link time on Windows, the dates of the files in the zip, the
# installer and the Debian package), in seconds since 1970, UTC:
#   - SOURCE_DATE_EPOCH from the environment when it is set (the convention of
#     reproducible-builds.org, which Debian's tools follow);
#   - else the time of the last commit, when the sources are a git checkout;
#   - else (a source archive) midnight UTC on MERAVEL_RELEASE_DATE.
# Rebuilding files made in a checkout from an archive of the same commit thus
# needs SOURCE_DATE_EPOCH set to that commit's time, which the files show
# (`x86_64-w64-mingw32-objdump -p meravel.exe`, `dpkg-deb -c`).

set(MERAVEL_RELEASE_DATE "2026-12-08" CACHE STRING
    "Date of the release named by the project version (YYYY-MM-DD)")

set(_meravel_epoch "")
set(_meravel_epoch_from "")
if(DEFINED ENV{SOURCE_DATE_EPOCH})
  set(_meravel_epoch "$ENV{SOURCE_DATE_EPOCH}")
  set(_meravel_epoch_from "SOURCE_DATE_EPOCH")
else()
  find_package(Git QUIET)
  if(GIT_EXECUTABLE)
    # Only a repository whose top is this source tree: an archive unpacked
    # inside some other checkout must not take that checkout's time.
    execute_process(COMMAND "${GIT_EXECUTABLE}" rev-parse --show-toplevel
        WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
        OUTPUT_VARIABLE _meravel_git_top OUTPUT_STRIP_TRAILING_WHITESPACE
        RESULT_VARIABLE _meravel_git_status ERROR_QUIET)
    if(_meravel_git_status EQUAL 0)
      file(REAL_PATH "${_meravel_git_top}" _meravel_git_top)
      file(REAL_PATH "${PROJECT_SOURCE_DIR}" _meravel_src)
      if(_meravel_git_top STREQUAL _meravel_src)
        execute_process(COMMAND "${GIT_EXECUTABLE}" log -1 --format=%ct
            WORKING_DIRECTORY "${PROJECT_SOURCE_DIR}"
            OUTPUT_VARIABLE _meravel_epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET)
        set(_meravel_epoch_from "the last commit")
      endif()
    endif()
  endif()
  if(NOT _meravel_epoch MATCHES "^[0-9]+$")
    # Days from 1970-01-01 to the release date (the proleptic Gregorian
    # calendar, counted in 400-year eras from 1 March 0000).
    if(NOT MERAVEL_RELEASE_DATE MATCHES "^([0-9][0-9][0-9][0-9])-([0-9][0-9])-([0-9][0-9])$")
      message(FATAL_ERROR "MERAVEL_RELEASE_DATE must read YYYY-MM-DD: ${MERAVEL_RELEASE_DATE}")
    endif()
    math(EXPR _y "${CMAKE_MATCH_1}")
    math(EXPR _m "${CMAKE_MATCH_2}")
    math(EXPR _d "${CMAKE_MATCH_3}")
    if(_m LESS_EQUAL 2)
      math(EXPR _y "${_y} - 1")
      math(EXPR _m "${_m} + 9")
    else()
      math(EXPR _m "${_m} - 3")
    endif()
    math(EXPR _era "${_y} / 400")
    math(EXPR _yoe "${_y} - ${_era} * 400")
    math(EXPR _doe "${_yoe} * 365 + ${_yoe} / 4 - ${_yoe} / 100 + (153 * ${_m} + 2) / 5 + ${_d} - 1")
    math(EXPR _meravel_epoch "(${_era} * 146097 + ${_doe} - 719468) * 86400")
    set(_meravel_epoch_from "MERAVEL_RELEASE_DATE")
  endif()
endif()
if(NOT _meravel_epoch MATCHES "^[0-9]+$")
  message(FATAL_ERROR "SOURCE_DATE_EPOCH must be a number of seconds: '${_meravel_epoch}'")
endif()
set(MERAVEL_SOURCE_DATE_EPOCH "${_meravel_epoch}")
message(STATUS "Release files dated ${MERAVEL_SOURCE_DATE_EPOCH}, from ${_meravel_epoch_from}")

# No build folder in the programs: the compiler writes the source folder as
# "." and the build folder as "build" (into __FILE__ and the debugging
# information, whose hash is the Linux program's build id). The build folder
# is named last because it may lie inside the source folder, and GCC applies
# the last matching map.
add_compile_options(
    "$<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_SOURCE_DIR}=.>"
    "$<$<COMPILE_LANGUAGE:CXX>:-ffile-prefix-map=${PROJECT_BINARY_DIR}=build>")

if(WIN32)
  # The Windows linker writes the time of the link into the program's
  # header, or SOURCE_DATE_EPOCH when that is set.
  set(CMAKE_CXX_LINKER_LAUNCHER
      "${CMAKE_COMMAND}" -E env "SOURCE_DATE_EPOCH=${MERAVEL_SOURCE_DATE_EPOCH}")
endif()

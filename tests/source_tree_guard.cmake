# The guard of the source tree: tests write under the build folder or a temporary folder,
# never beside the sources. MODE=before records the untracked files of SOURCE_DIR in
# SNAPSHOT; MODE=after fails, naming them, when the tests left any new one there.
#   cmake -DMODE=before|after -DSOURCE_DIR=... -DBINARY_DIR=... -DSNAPSHOT=... -P source_tree_guard.cmake
cmake_minimum_required(VERSION 3.16)
find_package(Git QUIET)
if(NOT GIT_FOUND)
  message("source tree guard skipped: git is not installed")
  return()
endif()
execute_process(COMMAND ${GIT_EXECUTABLE} -C ${SOURCE_DIR} status --porcelain --untracked-files=all
                RESULT_VARIABLE status OUTPUT_VARIABLE porcelain ERROR_QUIET)
if(NOT status EQUAL 0)
  message("source tree guard skipped: ${SOURCE_DIR} is not a git checkout")
  return()
endif()

# Untracked files only: a test that writes beside the sources leaves a new file, while
# tracked files change under the hands of whoever works in the checkout.
string(REPLACE "\n" ";" lines "${porcelain}")
file(RELATIVE_PATH binary_prefix ${SOURCE_DIR} ${BINARY_DIR})
set(untracked)
foreach(line IN LISTS lines)
  if(line MATCHES "^\\?\\? (.*)$")
    set(path "${CMAKE_MATCH_1}")
    # A build folder inside the sources that .gitignore does not name is no test's output.
    string(FIND "${path}" "${binary_prefix}/" at)
    if(NOT binary_prefix MATCHES "^\\.\\." AND at EQUAL 0)
      continue()
    endif()
    list(APPEND untracked "${path}")
  endif()
endforeach()

if(MODE STREQUAL "before")
  file(WRITE ${SNAPSHOT} "${untracked}")
  return()
endif()
if(NOT EXISTS ${SNAPSHOT})
  message(FATAL_ERROR "no record of the source tree before the tests: run source_tree_before first")
endif()
file(READ ${SNAPSHOT} before)
set(new_files)
foreach(path IN LISTS untracked)
  if(NOT path IN_LIST before)
    list(APPEND new_files "${path}")
  endif()
endforeach()
if(new_files)
  list(JOIN new_files "\n  " listed)
  message(FATAL_ERROR "the tests left new files in the source tree ${SOURCE_DIR}:\n  ${listed}\n"
                      "tests write under the build folder or a temporary folder (tests/support/temp_dir.h)")
endif()

# SPDX-FileCopyrightText: The korvant developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the build into a scratch folder and checks that it holds what the package
# ships, and that the installed logger runs.
#   cmake -DBUILD_DIR=... -DSTAGE=... -DEXPECTED="bin/korvant;..." -P CheckInstall.cmake
file(REMOVE_RECURSE "${STAGE}")
execute_process(COMMAND "${CMAKE_COMMAND}" --install "${BUILD_DIR}" --prefix "${STAGE}"
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(result)
  message(FATAL_ERROR "cmake --install failed (${result}): ${errors}")
endif()
foreach(file IN LISTS EXPECTED)
  if(NOT EXISTS "${STAGE}/${file}")
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()
if(EXISTS "${STAGE}/${LOGGER}")
  execute_process(COMMAND "${STAGE}/${LOGGER}" --help RESULT_VARIABLE result OUTPUT_VARIABLE help)
  if(result OR NOT help MATCHES "^Usage: korvant-log")
    message(FATAL_ERROR "the installed korvant-log --help failed (${result}): ${help}")
  endif()
endif()
file(REMOVE_RECURSE "${STAGE}")

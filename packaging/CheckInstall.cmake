# SPDX-FileCopyrightText: The korvant developers
# SPDX-License-Identifier: GPL-3.0-or-later

# Installs the build into a scratch folder and checks that it holds what the package
# ships, and that every installed program answers --version and --help without a display,
# as help2man needs on a build machine.
#   cmake -DBUILD_DIR=... -DSTAGE=... -DEXPECTED="bin/korvant;..." -DPROGRAMS="korvant;..."
#         -DBINDIR=bin -DVERSION=0.1.0 -P CheckInstall.cmake
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

string(REPLACE "." "\\." version_pattern "${VERSION}")
foreach(program IN LISTS PROGRAMS)
  set(installed "${STAGE}/${BINDIR}/${program}")
  if(NOT EXISTS "${installed}")
    continue()  # not part of this build
  endif()
  foreach(option --version --help)
    execute_process(
      COMMAND "${CMAKE_COMMAND}" -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY --unset=QT_QPA_PLATFORM
              "${installed}" ${option}
      RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE err TIMEOUT 20)
    if(option STREQUAL "--version")
      set(good "^${program} ${version_pattern}\n$")
    else()
      set(good "Usage: ${program} ")
    endif()
    if(NOT result STREQUAL "0" OR NOT out MATCHES "${good}")
      message(FATAL_ERROR "${program} ${option} without a display: exit ${result}, printed\n${out}${err}")
    endif()
  endforeach()
endforeach()
file(REMOVE_RECURSE "${STAGE}")

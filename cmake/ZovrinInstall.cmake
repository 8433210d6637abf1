# What `cmake --install` puts in place: the runtime package zv40c6, the Qt backend's library, the
# PostgreSQL dataset's and the design-time host's (zvdesign), stripped (component runtime), their debug information in files of its
# own (component dbg), the public headers of platform/ and runtime/ under include/zovrin with the
# paths the code includes them by, the CMake package Zovrin and the pkg-config files (component
# dev). Then the Debian packages CPack makes of the three components.
include(CMakePackageConfigHelpers)

set(ZV_INSTALL_CMAKEDIR "${CMAKE_INSTALL_LIBDIR}/cmake/Zovrin")
set(ZV_INSTALL_PKGCONFIGDIR "${CMAKE_INSTALL_LIBDIR}/pkgconfig")

# Headers are taken as they stand when installing (a new module's come along); a module's
# detail/ folder is its private part, and the Qt backend's, the PostgreSQL dataset's and the
# design-time host's headers go only with their libraries.
function(zv_install_headers folder)
  set(excluded PATTERN "detail" EXCLUDE)
  if(folder STREQUAL "platform" AND NOT TARGET zvqt)
    list(APPEND excluded PATTERN "qt" EXCLUDE)
  endif()
  if(folder STREQUAL "platform" AND NOT TARGET zvpg)
    list(APPEND excluded PATTERN "pg" EXCLUDE)
  endif()
  if(folder STREQUAL "platform" AND NOT TARGET zvdesign)
    list(APPEND excluded PATTERN "design" EXCLUDE)
  endif()
  install(DIRECTORY "${PROJECT_SOURCE_DIR}/${folder}/"
    DESTINATION "${CMAKE_INSTALL_INCLUDEDIR}/zovrin/${folder}"
    COMPONENT dev
    FILES_MATCHING PATTERN "*.h"
    ${excluded})
endfunction()

# A shared library (component runtime, its link name with dev) and its CMake export set. The
# installed copy is stripped (the build tree's keeps everything, for the tests and debugging
# there) and carries a debug link to <libdir>/.debug/<file>.debug, which the dbg component
# installs: a debugger finds it there under any prefix. The debug file is taken from the built
# library at install time, so that a build pays nothing for it.
function(zv_install_library target export)
  install(TARGETS ${target} EXPORT ${export}
    LIBRARY DESTINATION "${CMAKE_INSTALL_LIBDIR}" COMPONENT runtime NAMELINK_COMPONENT dev)
  install(EXPORT ${export} NAMESPACE Zovrin:: DESTINATION "${ZV_INSTALL_CMAKEDIR}" COMPONENT dev)
  if(NOT CMAKE_OBJCOPY)
    message(WARNING "no objcopy: ${target} installs with its debug information")
    return()
  endif()
  set(debug "${PROJECT_BINARY_DIR}/debug/$<TARGET_FILE_NAME:${target}>.debug")
  if(IS_ABSOLUTE "${CMAKE_INSTALL_LIBDIR}")
    set(installed "\$ENV{DESTDIR}${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:${target}>")
  else()
    set(installed "\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_LIBDIR}/$<TARGET_FILE_NAME:${target}>")
  endif()
  string(CONCAT split "set(ZV_OBJCOPY \"${CMAKE_OBJCOPY}\")\nset(ZV_BUILT \"$<TARGET_FILE:${target}>\")\n"
    "set(ZV_DEBUG \"${debug}\")\n")
  install(CODE "${split}set(ZV_STRIP \"${installed}\")\ninclude(\"${PROJECT_SOURCE_DIR}/cmake/ZovrinSplitDebug.cmake\")"
    COMPONENT runtime)
  install(CODE "${split}set(ZV_STRIP \"\")\ninclude(\"${PROJECT_SOURCE_DIR}/cmake/ZovrinSplitDebug.cmake\")"
    COMPONENT dbg)
  install(FILES "${debug}" DESTINATION "${CMAKE_INSTALL_LIBDIR}/.debug" COMPONENT dbg)
endfunction()

target_compile_features(zv40c6 PUBLIC cxx_std_20)
zv_install_library(zv40c6 ZovrinTargets)
zv_install_headers(platform)
zv_install_headers(runtime)

set(ZV_PC_LIBRARIES "zovrin")
if(TARGET zvqt)
  zv_install_library(zvqt ZovrinQtTargets)
  list(APPEND ZV_PC_LIBRARIES "zovrin-qt")
endif()

if(TARGET zvpg)
  zv_install_library(zvpg ZovrinPgTargets)
  list(APPEND ZV_PC_LIBRARIES "zovrin-pg")
endif()

# The design-time host: what a designer program and the design packages it loads link, one copy
# for all of them.
if(TARGET zvdesign)
  zv_install_library(zvdesign ZovrinDesignHostTargets)
  list(APPEND ZV_PC_LIBRARIES "zovrin-design")
endif()

# The design-time package joins the same way once it is built.
if(TARGET dclzv40c6)
  zv_install_library(dclzv40c6 ZovrinDesignTargets)
  zv_install_headers(designtime)
endif()

configure_package_config_file(cmake/ZovrinConfig.cmake.in
  "${PROJECT_BINARY_DIR}/ZovrinConfig.cmake"
  INSTALL_DESTINATION "${ZV_INSTALL_CMAKEDIR}")
write_basic_package_version_file("${PROJECT_BINARY_DIR}/ZovrinConfigVersion.cmake"
  COMPATIBILITY SameMajorVersion)
install(FILES "${PROJECT_BINARY_DIR}/ZovrinConfig.cmake" "${PROJECT_BINARY_DIR}/ZovrinConfigVersion.cmake"
  DESTINATION "${ZV_INSTALL_CMAKEDIR}" COMPONENT dev)

# pkg-config files locate the prefix from where they lie, so an installed tree may be moved and
# `cmake --install --prefix` elsewhere than configured gives correct files.
if(IS_ABSOLUTE "${ZV_INSTALL_PKGCONFIGDIR}")
  set(ZV_PC_PREFIX "${CMAKE_INSTALL_PREFIX}")
else()
  file(RELATIVE_PATH ZV_PC_UP "/root/${ZV_INSTALL_PKGCONFIGDIR}" "/root")
  string(REGEX REPLACE "/$" "" ZV_PC_UP "${ZV_PC_UP}")
  set(ZV_PC_PREFIX "\${pcfiledir}/${ZV_PC_UP}")
endif()
foreach(pc IN LISTS ZV_PC_LIBRARIES)
  configure_file(cmake/${pc}.pc.in "${PROJECT_BINARY_DIR}/${pc}.pc" @ONLY)
  install(FILES "${PROJECT_BINARY_DIR}/${pc}.pc" DESTINATION "${ZV_INSTALL_PKGCONFIGDIR}" COMPONENT dev)
endforeach()

include(cmake/ZovrinDebian.cmake)

# cmake -DSTEP=<install|example|versions|pkgconfig|headers|consumer> -DBUILD_DIR=... -DSOURCE_DIR=... -DWORK=...
#       [-DPROBE=...] [-DFLAGS=...] [-DLAUNCHER=...] -P ConsumePackage.cmake
# Each step uses the library as an application developer does: installed into a prefix (WORK/prefix)
# and found from there, never from the build tree.
cmake_minimum_required(VERSION 3.25)
set(prefix "${WORK}/prefix")

function(run)
  cmake_parse_arguments(ARG "" "WORKING_DIRECTORY" "COMMAND" ${ARGN})
  execute_process(COMMAND ${ARG_COMMAND} WORKING_DIRECTORY "${ARG_WORKING_DIRECTORY}"
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT result EQUAL 0)
    list(JOIN ARG_COMMAND " " shown)
    message(FATAL_ERROR "${shown}\nfailed (${result}):\n${out}")
  endif()
  set(run_output "${out}" PARENT_SCOPE)
endfunction()

# configure(<source> <binary> [cache arguments...]): a consumer project against the prefix.
function(configure source binary)
  file(REMOVE_RECURSE "${binary}")
  set(flags)
  if(FLAGS)
    list(APPEND flags "-DCMAKE_CXX_FLAGS=${FLAGS}" "-DCMAKE_EXE_LINKER_FLAGS=${FLAGS}")
  endif()
  if(LAUNCHER)
    list(APPEND flags "-DCMAKE_CXX_COMPILER_LAUNCHER=${LAUNCHER}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -S "${source}" -B "${binary}" -G Ninja
      "-DCMAKE_PREFIX_PATH=${prefix}" ${flags} ${ARGN}
    RESULT_VARIABLE result OUTPUT_VARIABLE out ERROR_VARIABLE out)
  set(configure_result "${result}" PARENT_SCOPE)
  set(configure_output "${out}" PARENT_SCOPE)
endfunction()

if(STEP STREQUAL "install")
  file(REMOVE_RECURSE "${prefix}")
  run(COMMAND ${CMAKE_COMMAND} --install "${BUILD_DIR}" --prefix "${prefix}")
  # Every public header and no private one, at the path the code includes it by.
  file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/platform/*.h" "${SOURCE_DIR}/runtime/*.h")
  list(FILTER sources EXCLUDE REGEX "/detail/")
  file(GLOB_RECURSE installed RELATIVE "${prefix}/include/zovrin" "${prefix}/include/zovrin/*")
  list(SORT sources)
  list(SORT installed)
  if(NOT sources STREQUAL installed)
    set(missing ${sources})
    list(REMOVE_ITEM missing ${installed})
    set(extra ${installed})
    list(REMOVE_ITEM extra ${sources})
    message(FATAL_ERROR "installed headers differ from the public ones\nmissing: ${missing}\nextra: ${extra}")
  endif()
  # Versioned libraries with an SONAME of the major version; the Qt backend's library defines
  # nothing of its own that the package defines too (a second copy of a module would start twice).
  file(STRINGS "${SOURCE_DIR}/CMakeLists.txt" project REGEX "^project\\(Zovrin VERSION")
  string(REGEX MATCH "([0-9]+)\\.[0-9]+\\.[0-9]+" version "${project}")
  set(major "${CMAKE_MATCH_1}")
  file(GLOB_RECURSE libraries "${prefix}/*.so.${version}")
  set(symbols)
  foreach(library IN LISTS libraries)
    get_filename_component(name "${library}" NAME)
    string(REPLACE ".so.${version}" ".so.${major}" soname "${name}")
    run(COMMAND objdump -p "${library}")
    if(NOT run_output MATCHES "SONAME +${soname}\n")
      message(FATAL_ERROR "${name} lacks the SONAME ${soname}")
    endif()
    run(COMMAND nm -D --defined-only "${library}")
    string(REGEX MATCHALL "[0-9a-f]+ [TDBR] [^\n]+" strong "${run_output}")
    list(TRANSFORM strong REPLACE "^[0-9a-f]+ . " "")
    set(twice ${strong})
    list(REMOVE_ITEM twice ${symbols} "_init" "_fini")
    list(REMOVE_ITEM strong ${twice})
    list(FILTER strong EXCLUDE REGEX "^_(init|fini)$")
    if(strong)
      list(SUBLIST strong 0 5 shown)
      message(FATAL_ERROR "${name} defines again what another installed library defines: ${shown} ...")
    endif()
    list(APPEND symbols ${twice})
  endforeach()
  list(LENGTH libraries count)
  if(count LESS 1)
    message(FATAL_ERROR "no library of version ${version} installed in ${prefix}")
  endif()
  # Stripped libraries, each with a debug link to the file beside it in .debug/ that holds its
  # debug information, where a debugger looks for it.
  foreach(library IN LISTS libraries)
    get_filename_component(name "${library}" NAME)
    get_filename_component(directory "${library}" DIRECTORY)
    run(COMMAND readelf -S --wide "${library}")
    if(run_output MATCHES "[.]debug_info")
      message(FATAL_ERROR "${name} is installed with its debug information")
    endif()
    if(NOT run_output MATCHES "[.]gnu_debuglink")
      message(FATAL_ERROR "${name} has no debug link")
    endif()
    run(COMMAND readelf --string-dump=.gnu_debuglink "${library}")
    if(NOT run_output MATCHES "\\] +([^\n]+[.]debug)\n")
      message(FATAL_ERROR "${name}'s debug link names no file:\n${run_output}")
    endif()
    set(debug "${directory}/.debug/${CMAKE_MATCH_1}")
    if(NOT EXISTS "${debug}")
      message(FATAL_ERROR "${name}'s debug link names ${debug}, which is not installed")
    endif()
    run(COMMAND readelf -S --wide "${debug}")
    if(NOT run_output MATCHES "[.]debug_info +PROGBITS")
      message(FATAL_ERROR "${debug} holds no debug information")
    endif()
    file(SIZE "${library}" size)
    file(SIZE "${debug}" debug_size)
    message(STATUS "${name}: ${size} bytes, its debug information ${debug_size} bytes")
  endforeach()
  # A debugger follows the link (file name and checksum) to the functions' source files; the Qt
  # backend's library is the smallest to load.
  find_program(gdb gdb)
  if(gdb)
    run(COMMAND "${gdb}" -nx -batch -ex "info functions ^zv::qt::CreateQtWindowBackend"
      "${prefix}/lib/libzvqt.so.${version}")
    if(NOT run_output MATCHES "File [^\n]*QtWindowBackend[.]cpp:\n[0-9]+:")
      message(FATAL_ERROR "gdb finds no debug information for the installed libzvqt:\n${run_output}")
    endif()
  endif()
  message(STATUS "${count} libraries and the public headers installed in ${prefix}")

elseif(STEP STREQUAL "example")
  configure("${SOURCE_DIR}/examples/browse-table" "${WORK}/example")
  if(NOT configure_result EQUAL 0)
    message(FATAL_ERROR "the example does not configure against ${prefix}:\n${configure_output}")
  endif()
  run(COMMAND ${CMAKE_COMMAND} --build "${WORK}/example")
  file(REMOVE "${WORK}/browse-table.png")
  set(ENV{QT_QPA_PLATFORM} offscreen)
  set(ENV{TMPDIR} "${WORK}")
  run(COMMAND "${WORK}/example/browse-table" --png "${WORK}/browse-table.png")
  # The form's client area, the title row and eight rows of the demo table, its four columns.
  run(COMMAND "${PROBE}" "${WORK}/browse-table.png" 640 360 9 4)
  message(STATUS "${run_output}")

elseif(STEP STREQUAL "versions")
  # What a consumer asks for and what configuring its project must say.
  set(cases
    "0.1!0!"
    "0!0!"
    "1.0!1!compatible[ \n]+with requested version \"1.0\""
    "0.1 COMPONENTS pg!0!"
    "0.1 COMPONENTS design!0!"
    "0.1 COMPONENTS nosuch!1!no component \"nosuch\"")
  foreach(case IN LISTS cases)
    string(REPLACE "!" ";" fields "${case}")
    list(GET fields 0 request)
    list(GET fields 1 fails)
    list(LENGTH fields n)
    set(expected "")
    if(n GREATER 2)
      list(GET fields 2 expected)
    endif()
    set(project "${WORK}/versions/source")
    file(WRITE "${project}/CMakeLists.txt"
      "cmake_minimum_required(VERSION 3.25)\nproject(consumer LANGUAGES CXX)\n"
      "find_package(Zovrin ${request} CONFIG REQUIRED)\n")
    configure("${project}" "${WORK}/versions/build")
    if((fails AND configure_result EQUAL 0) OR (NOT fails AND NOT configure_result EQUAL 0))
      message(FATAL_ERROR "find_package(Zovrin ${request}): configure returned ${configure_result}\n${configure_output}")
    endif()
    if(expected AND NOT configure_output MATCHES "${expected}")
      message(FATAL_ERROR "find_package(Zovrin ${request}) should say /${expected}/:\n${configure_output}")
    endif()
  endforeach()

elseif(STEP STREQUAL "pkgconfig")
  # A headless program built with the flags pkg-config gives for the package alone, outside
  # CMake: the package's modules start on the null backend and register their classes.
  set(ENV{PKG_CONFIG_PATH} "${prefix}/lib/pkgconfig")
  run(COMMAND pkg-config --cflags --libs zovrin)
  string(STRIP "${run_output}" pc)
  separate_arguments(pc UNIX_COMMAND "${pc}")
  file(WRITE "${WORK}/pc/main.cpp" [=[
#include "platform/classes/Modules.h"
#include "platform/controls/Application.h"
#include "platform/null/NullBackend.h"
#include "platform/null/NullWindowBackend.h"
#include "runtime/Package.h"
#include <cstdio>
int main() {
  zv::SetGraphicsBackend(zv::CreateNullBackend());
  zv::SetWindowBackend(zv::CreateNullWindowBackend());
  zv::Application->Initialize();
  const bool started = zv::GetClass("TEdit") && zv::GetClass("TQuickFieldMapper");
  zv::FinalizeModules();
  zv::SetWindowBackend(nullptr);
  zv::SetGraphicsBackend(nullptr);
  std::printf("%s %s\n", zv::ZvPackageVersion(), started ? "started" : "classes missing");
}
]=])
  separate_arguments(flags UNIX_COMMAND "${FLAGS}")
  run(COMMAND c++ -std=c++20 ${flags} "${WORK}/pc/main.cpp" -o "${WORK}/pc/main" ${pc})
  run(COMMAND pkg-config --modversion zovrin)
  string(STRIP "${run_output}" version)
  set(ENV{LD_LIBRARY_PATH} "${prefix}/lib")
  run(COMMAND "${WORK}/pc/main")
  if(NOT run_output STREQUAL "${version} started\n")
    message(FATAL_ERROR "pkg-config says version ${version}; the program said: ${run_output}")
  endif()
  run(COMMAND pkg-config --libs zovrin-qt)
  if(NOT run_output MATCHES "-lzvqt .*-lzv40c6.* -lQt6Gui")
    message(FATAL_ERROR "pkg-config zovrin-qt gives ${run_output}")
  endif()
  # The design-time host rests on the one runtime package a program and its design packages share.
  run(COMMAND pkg-config --libs zovrin-design)
  if(NOT run_output MATCHES "-lzvdesign .*-lzv40c6")
    message(FATAL_ERROR "pkg-config zovrin-design gives ${run_output}")
  endif()
  # The Qt backend's headers include Qt GUI's.
  run(COMMAND pkg-config --cflags zovrin-qt)
  if(NOT run_output MATCHES "/QtGui( |\n)")
    message(FATAL_ERROR "pkg-config zovrin-qt gives no Qt GUI headers: ${run_output}")
  endif()
  # The PostgreSQL dataset links by its own name and reaches libpq: a server that is not there
  # is the server's error, raised through the library.
  run(COMMAND pkg-config --cflags --libs zovrin-pg)
  string(STRIP "${run_output}" pc)
  separate_arguments(pc UNIX_COMMAND "${pc}")
  file(WRITE "${WORK}/pc/pg.cpp" [=[
#include "platform/db/pg/PgConnection.h"
#include <cstdio>
int main() {
  zv::TPgConnection connection(nullptr);
  connection.SetConnectionString("host=/nonexistent-zovrin-socket-dir connect_timeout=2");
  try {
    connection.Open();
  } catch (const zv::EPgError& e) {
    std::printf("refused %s\n", e.SqlState().c_str());
    return 0;
  }
  std::printf("connected\n");
}
]=])
  run(COMMAND c++ -std=c++20 ${flags} "${WORK}/pc/pg.cpp" -o "${WORK}/pc/pg" ${pc})
  run(COMMAND "${WORK}/pc/pg")
  if(NOT run_output MATCHES "^refused 08")
    message(FATAL_ERROR "the PostgreSQL dataset's program said: ${run_output}")
  endif()

elseif(STEP STREQUAL "headers")
  # Each installed header alone in a translation unit of its own, all in one target. Nothing is
  # linked, so a sanitizer build compiles them as the plain one does (and reuses its cache).
  set(FLAGS "")
  set(project "${WORK}/headers/source")
  file(REMOVE_RECURSE "${project}")
  file(GLOB_RECURSE headers RELATIVE "${prefix}/include/zovrin" "${prefix}/include/zovrin/*.h")
  set(units)
  foreach(header IN LISTS headers)
    string(MAKE_C_IDENTIFIER "${header}" unit)
    file(WRITE "${project}/${unit}.cpp" "#include \"${header}\"\n")
    list(APPEND units "${unit}.cpp")
  endforeach()
  # A header alone serves what it declares: units that include one header each and call through
  # what its accessors return.
  file(GLOB accessors RELATIVE "${SOURCE_DIR}/tests/packaging/accessors" "${SOURCE_DIR}/tests/packaging/accessors/*.cpp")
  foreach(unit IN LISTS accessors)
    configure_file("${SOURCE_DIR}/tests/packaging/accessors/${unit}" "${project}/accessors_${unit}" COPYONLY)
    list(APPEND units "accessors_${unit}")
  endforeach()
  list(JOIN units "\n  " units)
  file(WRITE "${project}/CMakeLists.txt"
    "cmake_minimum_required(VERSION 3.25)\nproject(headers LANGUAGES CXX)\n"
    "find_package(Zovrin CONFIG REQUIRED COMPONENTS qt pg)\n"
    "add_library(headers OBJECT\n  ${units})\n"
    "target_link_libraries(headers PRIVATE Zovrin::qt Zovrin::pg)\n")
  configure("${project}" "${WORK}/headers/build")
  if(NOT configure_result EQUAL 0)
    message(FATAL_ERROR "${configure_output}")
  endif()
  run(COMMAND ${CMAKE_COMMAND} --build "${WORK}/headers/build" -- -k 0)
  list(LENGTH headers count)
  list(LENGTH accessors reached)
  message(STATUS "${count} headers compile alone; ${reached} units reach through their accessors")

elseif(STEP STREQUAL "consumer")
  # The program of tests/packaging/consumer in the two configurations a consumer builds, each
  # against the one installed build (its imported targets fall back to the configuration they
  # have): it finds Qt through Zovrin::qt only.
  set(ENV{QT_QPA_PLATFORM} offscreen)
  foreach(config Debug Release)
    set(binary "${WORK}/consumer/${config}")
    configure("${SOURCE_DIR}/tests/packaging/consumer" "${binary}" "-DCMAKE_BUILD_TYPE=${config}")
    if(NOT configure_result EQUAL 0)
      message(FATAL_ERROR "the consumer does not configure as ${config} against ${prefix}:\n${configure_output}")
    endif()
    run(COMMAND ${CMAKE_COMMAND} --build "${binary}")
    run(COMMAND "${binary}/consumer")
    if(NOT run_output STREQUAL "grid link inactive, window \"consumer\"\n")
      message(FATAL_ERROR "the ${config} consumer said: ${run_output}")
    endif()
  endforeach()
  message(STATUS "the consumer builds and runs as Debug and as Release")
else()
  message(FATAL_ERROR "unknown STEP '${STEP}'")
endif()

# cmake -DROOT=<source tree> -P CheckPrivateHeaders.cmake
# The library folders (runtime/, designtime/) and the applications (apps/) build on the host
# layer's public headers only: no file there may include a header from a detail/ folder of
# another module (a library module's own detail/ folder is its private part) or name something
# in the host's detail namespace. Fails listing every offending line.
if(NOT ROOT)
  message(FATAL_ERROR "ROOT is not set")
endif()

set(patterns)
foreach(folder runtime designtime apps)
  foreach(ext h hpp cpp cc)
    list(APPEND patterns "${ROOT}/${folder}/*.${ext}")
  endforeach()
endforeach()
file(GLOB_RECURSE sources LIST_DIRECTORIES false ${patterns})

set(offences)
foreach(source IN LISTS sources)
  # One list element per line: semicolons and brackets would split or join list elements.
  file(READ "${source}" content)
  file(RELATIVE_PATH relative_source "${ROOT}" "${source}")
  string(REGEX REPLACE "[][;\\]" "_" content "${content}")
  string(REPLACE "\n" ";" lines "${content}")
  set(number 0)
  foreach(line IN LISTS lines)
    math(EXPR number "${number} + 1")
    set(offence FALSE)
    if(line MATCHES "(^|[^A-Za-z0-9_])detail::")
      set(offence TRUE)
    elseif(line MATCHES "^[ \t]*#[ \t]*include[ \t]*[<\"]([^>\"]*/detail/[^>\"]*)")
      # A library module keeps private headers in its own detail/ folder; only it may use them.
      string(REGEX REPLACE "/detail/.*" "" owner "${CMAKE_MATCH_1}")
      if(NOT (owner MATCHES "^(runtime|designtime)/" AND relative_source MATCHES "^${owner}/"))
        set(offence TRUE)
      endif()
    endif()
    if(offence)
      file(RELATIVE_PATH relative "${ROOT}" "${source}")
      string(STRIP "${line}" text)
      list(APPEND offences "${relative}:${number}: ${text}")
    endif()
  endforeach()
endforeach()

list(LENGTH sources count)
if(offences)
  list(JOIN offences "\n  " listed)
  message(FATAL_ERROR "Private headers or detail:: used outside the host layer:\n  ${listed}")
endif()
message(STATUS "${count} sources checked: none reaches into a detail/ header or namespace")

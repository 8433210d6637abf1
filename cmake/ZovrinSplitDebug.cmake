# Run by the install script (install(CODE)), one library at a time:
#   ZV_OBJCOPY  objcopy
#   ZV_BUILT    the library as built, with its debug information
#   ZV_DEBUG    where its debug information is kept in the build tree (made when stale)
#   ZV_STRIP    the installed copy to strip and link to that file (empty: only make the file)
# The installed library keeps its dynamic symbols and loses the rest; gdb finds the debug file
# by the link's name in the library's folder or its .debug/ subfolder.
if(NOT EXISTS "${ZV_DEBUG}" OR "${ZV_BUILT}" IS_NEWER_THAN "${ZV_DEBUG}")
  get_filename_component(zv_debug_dir "${ZV_DEBUG}" DIRECTORY)
  file(MAKE_DIRECTORY "${zv_debug_dir}")
  execute_process(COMMAND "${ZV_OBJCOPY}" --only-keep-debug "${ZV_BUILT}" "${ZV_DEBUG}"
    RESULT_VARIABLE zv_result ERROR_VARIABLE zv_error)
  if(NOT zv_result EQUAL 0)
    file(REMOVE "${ZV_DEBUG}")
    message(FATAL_ERROR "objcopy could not take the debug information of ${ZV_BUILT}: ${zv_error}")
  endif()
endif()
if(ZV_STRIP)
  # The link records the debug file's name and checksum; a link left from an earlier install
  # goes first, so that a copy installed again links to the current file.
  execute_process(COMMAND "${ZV_OBJCOPY}" --strip-unneeded --remove-section=.gnu_debuglink
      "--add-gnu-debuglink=${ZV_DEBUG}" "${ZV_STRIP}"
    RESULT_VARIABLE zv_result ERROR_VARIABLE zv_error)
  if(NOT zv_result EQUAL 0)
    message(FATAL_ERROR "objcopy could not strip ${ZV_STRIP}: ${zv_error}")
  endif()
endif()

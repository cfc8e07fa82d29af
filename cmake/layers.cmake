# velmorant_layer(TARGET [CHECK name] [NO_TOOLKIT] SEES headers... FILES sources...)
# Adds a build step to TARGET that fails when one of FILES includes an engine
# header ("jet/...") outside SEES. Each entry of SEES is a folder ("jet/io")
# or one header ("jet/database.h"). NO_TOOLKIT: FILES may include neither a
# front-end's folder (dialogs/, app/, win/) nor a window toolkit's headers.
# The step runs again whenever a file changes. CHECK names the step when a
# target has more than one (default: TARGET).
function(velmorant_layer target)
  cmake_parse_arguments(L "NO_TOOLKIT" "CHECK" "SEES;FILES" ${ARGN})
  set(check ${target})
  if(L_CHECK)
    set(check ${L_CHECK})
  endif()
  set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${check}.layer)
  list(TRANSFORM L_FILES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ REGEX "^[^/]")
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DLAYER=${check} "-DALLOWED=${L_SEES}" -DNO_TOOLKIT=${L_NO_TOOLKIT}
            "-DFILES=${L_FILES}" -DSTAMP=${stamp} -P ${PROJECT_SOURCE_DIR}/cmake/check_includes.cmake
    DEPENDS ${L_FILES} ${PROJECT_SOURCE_DIR}/cmake/check_includes.cmake
    COMMENT "Checking the includes of ${check}" VERBATIM)
  add_custom_target(${check}_layer DEPENDS ${stamp})
  add_dependencies(${target} ${check}_layer)
endfunction()

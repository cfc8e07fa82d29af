# Windows builds: every program gets a manifest that makes its narrow
# strings UTF-8, as they are on Linux, so that paths with Slovak letters
# pass through main's arguments and the C library unchanged.
# Called at the end of the top-level CMakeLists, when all targets exist.
function(velmorant_windows_programs dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      if(MSVC)
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/windows/utf8.manifest)
      else()
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/windows/utf8.rc)
      endif()
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    velmorant_windows_programs(${sub})
  endforeach()
endfunction()

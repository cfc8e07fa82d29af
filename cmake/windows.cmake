# Windows builds: every program gets one manifest (a second one linked in
# would be dropped without a word). It makes the program's narrow strings
# UTF-8, as they are on Linux, so that paths with Slovak letters pass through
# main's arguments and the C library unchanged. A program whose target has
# the property VELMORANT_MANIFEST set to "window" gets the window program's
# instead, which adds Common Controls 6 and per-monitor DPI awareness.
# Called at the end of the top-level CMakeLists, when all targets exist.
function(velmorant_windows_programs dir)
  get_property(targets DIRECTORY ${dir} PROPERTY BUILDSYSTEM_TARGETS)
  foreach(target IN LISTS targets)
    get_target_property(type ${target} TYPE)
    if(type STREQUAL "EXECUTABLE")
      get_target_property(manifest ${target} VELMORANT_MANIFEST)
      if(NOT manifest)
        set(manifest utf8)
      endif()
      if(MSVC)
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/windows/${manifest}.manifest)
      else()
        target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/cmake/windows/${manifest}.rc)
        set_property(SOURCE ${PROJECT_SOURCE_DIR}/cmake/windows/${manifest}.rc TARGET_DIRECTORY ${target}
                     APPEND PROPERTY OBJECT_DEPENDS ${PROJECT_SOURCE_DIR}/cmake/windows/${manifest}.manifest)
      endif()
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    velmorant_windows_programs(${sub})
  endforeach()
endfunction()

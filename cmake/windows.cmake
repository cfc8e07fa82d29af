# Windows builds: every program gets one manifest (a second one linked in
# would be dropped without a word). It makes the program's narrow strings
# UTF-8, as they are on Linux, so that paths with Slovak letters pass through
# main's arguments and the C library unchanged. A program whose target has
# the property VELMORANT_MANIFEST set to "window" gets the window program's
# instead, which adds Common Controls 6 and per-monitor DPI awareness.
# Each also gets the icon and a version resource (velmorant_version_resource).
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
      velmorant_version_resource(${target})
    endif()
  endforeach()
  get_property(subdirs DIRECTORY ${dir} PROPERTY SUBDIRECTORIES)
  foreach(sub IN LISTS subdirs)
    velmorant_windows_programs(${sub})
  endforeach()
endfunction()

# The version resource's numbers: the project's version, padded to four.
set(VELMORANT_RC_VERSION)
foreach(part MAJOR MINOR PATCH TWEAK)
  if(PROJECT_VERSION_${part} STREQUAL "")
    list(APPEND VELMORANT_RC_VERSION 0)
  else()
    list(APPEND VELMORANT_RC_VERSION ${PROJECT_VERSION_${part}})
  endif()
endforeach()
list(JOIN VELMORANT_RC_VERSION "," VELMORANT_RC_VERSION)
# What Explorer says a program is; a test program is described by its name.
set(VELMORANT_DESCRIPTION_velmorant "Velmorant – spojenie databáz prístupového systému")
set(VELMORANT_DESCRIPTION_velmorant-cli "Velmorant – spojenie databáz z príkazového riadka")

# Gives the program `target` the icon of dist/icons and a version resource
# with the project's version and the program's description.
function(velmorant_version_resource target)
  set(VELMORANT_ICON ${PROJECT_SOURCE_DIR}/dist/icons/velmorant.ico)
  set(VELMORANT_RC_NAME ${target})
  set(VELMORANT_RC_DESCRIPTION "${VELMORANT_DESCRIPTION_${target}}")
  if(VELMORANT_RC_DESCRIPTION STREQUAL "")
    set(VELMORANT_RC_DESCRIPTION ${target})
  endif()
  set(rc ${PROJECT_BINARY_DIR}/windows/${target}.rc)
  configure_file(${PROJECT_SOURCE_DIR}/cmake/windows/version.rc.in ${rc} @ONLY)
  target_sources(${target} PRIVATE ${rc})
  # windres reads the icon itself: a new icon must rebuild the resource.
  set_property(SOURCE ${rc} TARGET_DIRECTORY ${target} APPEND PROPERTY OBJECT_DEPENDS ${VELMORANT_ICON})
endfunction()

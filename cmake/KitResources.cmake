# What every program of the kit carries as resources: an application manifest, a
# version resource and an icon, made from the templates in src/resources. The version
# is the project's (project() in the top CMakeLists.txt).
set(KIT_RESOURCES_DIR ${PROJECT_SOURCE_DIR}/src/resources)
set(KIT_VERSION ${PROJECT_VERSION})
set(KIT_PRODUCT "한글 설치 도구")
set(KIT_COMPANY "한글 설치 도구 개발팀")
set(KIT_COPYRIGHT "Copyright (C) 2026 ${KIT_COMPANY}")

# The four numbers of the binary version fields, a missing one counted as 0.
string(REPLACE "." ";" kit_version_numbers ${KIT_VERSION})
list(LENGTH kit_version_numbers kit_version_count)
while(kit_version_count LESS 4)
  list(APPEND kit_version_numbers 0)
  math(EXPR kit_version_count "${kit_version_count} + 1")
endwhile()
list(JOIN kit_version_numbers "," KIT_VERSION_COMMAS)
list(JOIN kit_version_numbers "." KIT_VERSION_QUAD)

# kit_program_resources(<target> DESCRIPTION <text> ICON <name>
#                       [LEVEL asInvoker|requireAdministrator])
# Links into the program its manifest (RT_MANIFEST 1; execution level LEVEL, asInvoker
# when not given), its version resource in Korean (FileDescription <text>) and
# src/resources/icons/<name>.ico as icon group 1. They come as an object of the program
# itself: from a static library the linker would drop them.
function(kit_program_resources target)
  cmake_parse_arguments(ARG "" "DESCRIPTION;ICON;LEVEL" "" ${ARGN})
  if(NOT ARG_DESCRIPTION OR NOT ARG_ICON)
    message(FATAL_ERROR "kit_program_resources(${target}) needs DESCRIPTION and ICON")
  endif()
  if(NOT ARG_LEVEL)
    set(ARG_LEVEL asInvoker)
  elseif(NOT ARG_LEVEL MATCHES "^(asInvoker|requireAdministrator)$")
    message(FATAL_ERROR "kit_program_resources(${target}): unknown LEVEL ${ARG_LEVEL}")
  endif()
  set(KIT_RESOURCE_ICON ${KIT_RESOURCES_DIR}/icons/${ARG_ICON}.ico)
  if(NOT EXISTS ${KIT_RESOURCE_ICON})
    message(FATAL_ERROR "kit_program_resources(${target}): no icon ${KIT_RESOURCE_ICON}")
  endif()

  get_target_property(KIT_RESOURCE_NAME ${target} OUTPUT_NAME)
  if(NOT KIT_RESOURCE_NAME)
    set(KIT_RESOURCE_NAME ${target})
  endif()
  set(KIT_RESOURCE_FILE ${KIT_RESOURCE_NAME}${CMAKE_EXECUTABLE_SUFFIX})
  set(KIT_RESOURCE_DESCRIPTION ${ARG_DESCRIPTION})
  set(KIT_RESOURCE_LEVEL ${ARG_LEVEL})
  set(dir ${CMAKE_CURRENT_BINARY_DIR}/${target}_resources)
  set(KIT_RESOURCE_MANIFEST ${dir}/${KIT_RESOURCE_FILE}.manifest)
  configure_file(${KIT_RESOURCES_DIR}/manifest.xml.in ${KIT_RESOURCE_MANIFEST} @ONLY)
  configure_file(${KIT_RESOURCES_DIR}/program.rc.in ${dir}/program.rc @ONLY)

  add_library(${target}_resources OBJECT ${dir}/program.rc)
  set_source_files_properties(${dir}/program.rc PROPERTIES
    OBJECT_DEPENDS "${KIT_RESOURCE_MANIFEST};${KIT_RESOURCE_ICON}")
  target_sources(${target} PRIVATE $<TARGET_OBJECTS:${target}_resources>)
endfunction()

# One static library per folder of the program, kiosk_<folder>. A layer names the layers below it that
# it uses (USES, folder names); it links exactly those, and its sources may include headers of those
# folders and of its own only: a check run before the layer compiles fails the build otherwise.
#
#   kiosk_layer(proxy USES mail log script config os text util LIBRARIES ZLIB::ZLIB)

set(KIOSK_LAYER_CHECK ${CMAKE_CURRENT_LIST_DIR}/check_layer_includes.cmake)

function(kiosk_layer folder)
  cmake_parse_arguments(LAYER "" "" "USES;LIBRARIES;EXCLUDE;EXTRA_SOURCES" ${ARGN})
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.cpp)
  file(GLOB_RECURSE headers CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${folder}/*.h)
  foreach(excluded IN LISTS LAYER_EXCLUDE)
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/${excluded})
  endforeach()

  set(checked ${CMAKE_BINARY_DIR}/layers/${folder}.checked)
  string(REPLACE ";" "," allowed "${folder};${LAYER_USES}")
  string(REGEX REPLACE ",$" "" allowed "${allowed}")
  add_custom_command(OUTPUT ${checked}
    COMMAND ${CMAKE_COMMAND} -DFOLDER=${folder} -DALLOWED=${allowed}
            -DROOT=${PROJECT_SOURCE_DIR} -DSTAMP=${checked} -P ${KIOSK_LAYER_CHECK}
    DEPENDS ${sources} ${headers} ${KIOSK_LAYER_CHECK}
    COMMENT "Checking the includes of ${folder}/" VERBATIM)

  set(uses "")
  foreach(used IN LISTS LAYER_USES)
    list(APPEND uses kiosk_${used})
  endforeach()
  add_library(kiosk_${folder} STATIC ${sources} ${LAYER_EXTRA_SOURCES} ${checked})
  target_include_directories(kiosk_${folder} PUBLIC ${PROJECT_SOURCE_DIR})
  target_link_libraries(kiosk_${folder} PRIVATE kiosk_warnings PUBLIC ${uses} ${LAYER_LIBRARIES})
endfunction()

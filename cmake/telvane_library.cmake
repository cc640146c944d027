# telvane_library(folder SOURCES ... [DEPENDS folders...] [QT components...])
# Each folder is a static library telvane_<folder>. It links the libraries of the folders it stands on and
# may include their headers only: the build checks every include of its sources against that list.
function(telvane_library folder)
    cmake_parse_arguments(L "" "" "SOURCES;DEPENDS;QT" ${ARGN})
    set(target telvane_${folder})
    set(allowed ${folder})
    foreach(dependency ${L_DEPENDS})
        get_property(below GLOBAL PROPERTY TELVANE_LAYER_${dependency})
        list(APPEND allowed ${below})
    endforeach()
    list(REMOVE_DUPLICATES allowed)
    set_property(GLOBAL PROPERTY TELVANE_LAYER_${folder} ${allowed})

    set(stamp ${CMAKE_CURRENT_BINARY_DIR}/${folder}-layers.stamp)
    list(TRANSFORM L_SOURCES PREPEND ${CMAKE_CURRENT_SOURCE_DIR}/ OUTPUT_VARIABLE sources)
    add_custom_command(OUTPUT ${stamp}
                       COMMAND ${CMAKE_COMMAND} -DFOLDER=${folder} "-DALLOWED=${allowed}" "-DSOURCES=${sources}"
                               -DSTAMP=${stamp} -P ${CMAKE_SOURCE_DIR}/cmake/layers.cmake
                       DEPENDS ${sources} ${CMAKE_SOURCE_DIR}/cmake/layers.cmake
                       COMMENT "Checking the includes of ${folder}/" VERBATIM)

    add_library(${target} STATIC ${L_SOURCES} ${stamp})
    list(TRANSFORM L_DEPENDS PREPEND telvane_ OUTPUT_VARIABLE libraries)
    list(TRANSFORM L_QT PREPEND Qt6:: OUTPUT_VARIABLE qt)
    target_link_libraries(${target} PUBLIC telvane_settings ${libraries} ${qt})
endfunction()

# Puts zones01.dem, the zone map made by tools/zones/make-zones.sh and shipped
# packed in data/, beside the executables (build/bin), where the program and
# kestrova-cli look for it.
set(KESTROVA_ZONES_ARCHIVE ${PROJECT_SOURCE_DIR}/data/zones01.dem.tar.xz)
set(KESTROVA_ZONES_FILE ${CMAKE_BINARY_DIR}/bin/zones01.dem)
add_custom_command(
    OUTPUT ${KESTROVA_ZONES_FILE}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/bin
    COMMAND ${CMAKE_COMMAND} -E chdir ${CMAKE_BINARY_DIR}/bin
            ${CMAKE_COMMAND} -E tar xf ${KESTROVA_ZONES_ARCHIVE}
    # The archive stores a fixed time stamp: mark the file as new.
    COMMAND ${CMAKE_COMMAND} -E touch ${KESTROVA_ZONES_FILE}
    DEPENDS ${KESTROVA_ZONES_ARCHIVE}
    COMMENT "Unpacking zones01.dem into ${CMAKE_BINARY_DIR}/bin"
    VERBATIM)
add_custom_target(zones_data ALL DEPENDS ${KESTROVA_ZONES_FILE})

# The classifier of the generator, built here too so that it keeps compiling
# with the project's warnings; make-zones.sh compiles its own copy.
add_executable(classify_zones ${CMAKE_CURRENT_LIST_DIR}/ClassifyZones.cpp
                              ${CMAKE_CURRENT_LIST_DIR}/ZoneRule.cpp)
target_include_directories(classify_zones PRIVATE ${CMAKE_CURRENT_LIST_DIR})

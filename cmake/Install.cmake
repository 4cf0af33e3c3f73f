# The program's data beside the executables (build/bin, where a build tree's
# programs find it) and what `cmake --install` puts where:
#   bin/                                kestrova, kestrova-cli (and kestrova-cli-maps,
#                                       which it starts for the commands that draw)
#   lib/kestrova/                       libkestrova_geotiff.so, the GeoTIFF writer, and
#                                       libkestrova_raster.so, the raster terrain reader (GDAL)
#   share/kestrova/                     zones01.dem, the demo tile, help/*.html
#   share/applications/                 kestrova.desktop
#   share/icons/hicolor/scalable/apps/  kestrova.svg
# The installed programs look for their data in share/kestrova/ beside their
# bin/ folder, whatever the prefix.
include(GNUInstallDirs)
set(KESTROVA_SHARE ${CMAKE_INSTALL_DATADIR}/kestrova)

configure_file(${PROJECT_SOURCE_DIR}/data/n51w002.hgt.zip ${CMAKE_BINARY_DIR}/bin/n51w002.hgt.zip
               COPYONLY)

# The fuzz build has neither program.
foreach(program kestrova-cli kestrova-cli-maps kestrova)
  if(TARGET ${program})
    install(TARGETS ${program} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  endif()
endforeach()
foreach(module kestrova_geotiff kestrova_raster)
  if(TARGET ${module} AND NOT KESTROVA_FUZZ)
    install(TARGETS ${module} LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR}/kestrova)
  endif()
endforeach()
install(FILES ${CMAKE_BINARY_DIR}/bin/zones01.dem ${PROJECT_SOURCE_DIR}/data/n51w002.hgt.zip
              ${PROJECT_SOURCE_DIR}/data/README
        DESTINATION ${KESTROVA_SHARE})
file(GLOB KESTROVA_HELP_PAGES ${PROJECT_SOURCE_DIR}/app/help/*.html)
install(FILES ${KESTROVA_HELP_PAGES} DESTINATION ${KESTROVA_SHARE}/help)
install(FILES ${PROJECT_SOURCE_DIR}/data/kestrova.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/data/kestrova.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)

# Drawing the terrain map and zone map pages.
if(TARGET maps_image)
  add_executable(maps_bench ${CMAKE_CURRENT_LIST_DIR}/MapsBench.cpp)
  target_link_libraries(maps_bench PRIVATE maps_image benchmark::benchmark_main)
  add_dependencies(maps_bench zones_data)
endif()

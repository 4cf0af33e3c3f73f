add_executable(terrain_bench ${CMAKE_CURRENT_LIST_DIR}/TerrainBench.cpp)
target_link_libraries(terrain_bench PRIVATE terrain benchmark::benchmark_main)
add_dependencies(terrain_bench zones_data)

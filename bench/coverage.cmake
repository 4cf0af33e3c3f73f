# Composing the coverage image and its scale after a map.
add_executable(coverage_bench ${CMAKE_CURRENT_LIST_DIR}/CoverageImageBench.cpp)
target_link_libraries(coverage_bench PRIVATE coverage_image benchmark::benchmark_main)

# Composing the coverage image and its scale after a map.
add_executable(coverage_bench ${CMAKE_CURRENT_LIST_DIR}/CoverageImageBench.cpp)
target_link_libraries(coverage_bench PRIVATE coverage_image benchmark::benchmark_main)

# What the window's live preview costs a coverage map on every core.
if(TARGET app)
  add_executable(coverage_preview_bench ${CMAKE_CURRENT_LIST_DIR}/CoveragePreviewBench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowBenchMain.cpp)
  target_link_libraries(coverage_preview_bench PRIVATE app benchmark::benchmark)
  add_dependencies(coverage_preview_bench zones_data)
endif()

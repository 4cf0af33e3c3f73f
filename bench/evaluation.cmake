add_executable(evaluation_bench ${CMAKE_CURRENT_LIST_DIR}/EvaluationBench.cpp)
target_link_libraries(evaluation_bench PRIVATE evaluation benchmark::benchmark_main)

# How long the window stops answering while the evaluation page computes.
if(TARGET app)
  add_executable(evaluation_page_bench ${CMAKE_CURRENT_LIST_DIR}/EvaluationPageBench.cpp
    ${CMAKE_CURRENT_LIST_DIR}/WindowBenchMain.cpp)
  target_link_libraries(evaluation_page_bench PRIVATE app benchmark::benchmark)
  add_dependencies(evaluation_page_bench zones_data)
endif()

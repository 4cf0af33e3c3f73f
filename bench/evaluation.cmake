add_executable(evaluation_bench ${CMAKE_CURRENT_LIST_DIR}/EvaluationBench.cpp)
target_link_libraries(evaluation_bench PRIVATE evaluation benchmark::benchmark_main)

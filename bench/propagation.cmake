# Gaseous attenuation and radio-meteorological map look-ups.
add_executable(propagation_bench PropagationBench.cpp)
target_link_libraries(propagation_bench PRIVATE propagation benchmark::benchmark_main)

# Display benchmarks: full redraw of a loaded strip chart, and streaming into it.
add_executable(bench_display_graph ${CMAKE_CURRENT_LIST_DIR}/display_graph.cpp)
target_link_libraries(bench_display_graph PRIVATE kro_display benchmark::benchmark)
ondrel_warnings(bench_display_graph)

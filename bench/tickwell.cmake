# Timer control: TimerEvent period against QTimer and the CPU cost of passes
# (plain executable), and the cost of one pass (Google Benchmark).
add_executable(tickwell_period_bench ${CMAKE_CURRENT_LIST_DIR}/tickwell_period.cpp)
target_link_libraries(tickwell_period_bench PRIVATE kom Qt6::Core)
set_target_properties(tickwell_period_bench PROPERTIES AUTOMOC OFF)
add_dependencies(tickwell_period_bench tickwell)
ondrel_warnings(tickwell_period_bench)

add_executable(tickwell_pass_bench ${CMAKE_CURRENT_LIST_DIR}/tickwell_pass.cpp)
target_link_libraries(tickwell_pass_bench PRIVATE tickwell_impl benchmark::benchmark)
set_target_properties(tickwell_pass_bench PROPERTIES AUTOMOC OFF)
ondrel_warnings(tickwell_pass_bench)

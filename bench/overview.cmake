# The overview of a 16-channel F32 recording (overview_bench [MIB], 1024 by
# default): its summary built beside a plain sequential read of the same file
# in the same run (goal: at most 1.5 times), the summary's size (at most 2 % of
# the data), the first picture of a window opened on it (goal: under 200 ms)
# and a redraw at every zoom down to single samples, 1,600 pixels wide (goal:
# under 16 ms each).
add_executable(overview_bench ${CMAKE_CURRENT_LIST_DIR}/overview_summary.cpp)
target_link_libraries(overview_bench PRIVATE ondrel_ui)
target_include_directories(overview_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
ondrel_warnings(overview_bench)

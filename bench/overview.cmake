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

# More than 4 GiB end to end in the main window on the fastest simulated card:
# record, save, open, jump and play, overview, ondrel-convert to every format;
# checked against the card's signal, with each step's time and the peak memory.
# Not in CI: it writes about 25 GB (overview_end_to_end_bench [GIB [RATE]]).
add_executable(overview_end_to_end_bench ${CMAKE_CURRENT_LIST_DIR}/overview_end_to_end.cpp)
target_link_libraries(overview_end_to_end_bench PRIVATE ondrel_ui)
target_include_directories(overview_end_to_end_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests ${CMAKE_CURRENT_LIST_DIR})
add_dependencies(overview_end_to_end_bench tickwell ondrel-convert)
ondrel_warnings(overview_end_to_end_bench)

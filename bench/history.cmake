# Replay: opening a large recording and jumping in it (size-independent), and
# real-time replay of a 16-channel recording through the timer control.
add_executable(history_bench ${CMAKE_CURRENT_LIST_DIR}/history_replay.cpp)
target_link_libraries(history_bench PRIVATE ondrel_ui QCustomPlotQt6::QCustomPlotQt6)
target_include_directories(history_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
add_dependencies(history_bench tickwell)
ondrel_warnings(history_bench)

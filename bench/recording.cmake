# Recording throughput: the buffered-AI file must never be what limits an
# acquisition. Goal: FAI appends well above 40 MB/s (16 channels at an aggregate
# 10 MS/s of 4-byte samples), raw conversion far above that.
add_executable(recording_bench ${CMAKE_CURRENT_LIST_DIR}/recording_fai_append.cpp)
target_link_libraries(recording_bench PRIVATE ondrel_base benchmark::benchmark)
ondrel_warnings(recording_bench)

# Soak: an hour-long kind of run at 1 MS/s with recording on, for overruns and
# memory growth (recording_soak SECONDS, default 60).
add_executable(recording_soak ${CMAKE_CURRENT_LIST_DIR}/recording_soak.cpp)
target_link_libraries(recording_soak PRIVATE ondrel_ui)
target_include_directories(recording_soak PRIVATE ${PROJECT_SOURCE_DIR}/tests)
add_dependencies(recording_soak tickwell)
ondrel_warnings(recording_soak)

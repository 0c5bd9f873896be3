# Recording throughput: the buffered-AI file must never be what limits an
# acquisition. Goal: FAI appends well above 40 MB/s (16 channels at an aggregate
# 10 MS/s of 4-byte samples), raw conversion far above that.
add_executable(recording_bench ${CMAKE_CURRENT_LIST_DIR}/recording_fai_append.cpp)
target_link_libraries(recording_bench PRIVATE ondrel_base benchmark::benchmark)
ondrel_warnings(recording_bench)

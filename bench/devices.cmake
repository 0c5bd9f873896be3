# Streaming throughput and CPU cost of the simulated fast analog card.
add_executable(devices_stream_bench ${CMAKE_CURRENT_LIST_DIR}/devices_stream.cpp)
target_link_libraries(devices_stream_bench PRIVATE kro_devices)
ondrel_warnings(devices_stream_bench)

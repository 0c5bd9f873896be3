# Export speed: text megabytes per second and nanoseconds per value for a
# 16-channel F32 recording of 1,000,000 scans, beside a plain snprintf/stdio
# loop over the same data (export_bench [SCANS]). Goal: at least 100 MB/s and
# twice the plain loop, memory flat whatever the size.
add_executable(export_bench ${CMAKE_CURRENT_LIST_DIR}/export_text.cpp)
target_link_libraries(export_bench PRIVATE ondrel_core)
target_include_directories(export_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
ondrel_warnings(export_bench)

# Every export format side by side on the same 16-channel F32 recording of
# 1,000,000 scans (export_formats_bench [SCANS]): MB/s of samples and the
# peak memory each adds. Goals: CSV at least as fast as the text, HDF5 at
# least 400 MB/s and 4x the CSV, the sigrok session at least as fast as the
# CSV, each under 16 MiB of added memory.
add_executable(export_formats_bench ${CMAKE_CURRENT_LIST_DIR}/export_formats.cpp)
target_link_libraries(export_formats_bench PRIVATE ondrel_core)
target_include_directories(export_formats_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
ondrel_warnings(export_formats_bench)

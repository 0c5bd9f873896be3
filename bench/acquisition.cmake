# End-to-end acquisition through the main window: buffered AI into chart and
# "FAI.ond", and software polling at 1 ms.
add_executable(acquisition_bench ${CMAKE_CURRENT_LIST_DIR}/acquisition_end_to_end.cpp)
target_link_libraries(acquisition_bench PRIVATE ondrel_ui QCustomPlotQt6::QCustomPlotQt6)
target_include_directories(acquisition_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
add_dependencies(acquisition_bench tickwell)
ondrel_warnings(acquisition_bench)

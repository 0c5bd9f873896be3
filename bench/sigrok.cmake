# The libsigrok back end on the demo driver: the driver alone, the back end
# alone, and the whole program recording and drawing.
if(SIGROK_FOUND)
  add_executable(sigrok_bench ${CMAKE_CURRENT_LIST_DIR}/sigrok_demo.cpp)
  target_link_libraries(sigrok_bench PRIVATE ondrel_ui kro_sigrok QCustomPlotQt6::QCustomPlotQt6)
  target_include_directories(sigrok_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests)
  add_dependencies(sigrok_bench tickwell)
  ondrel_warnings(sigrok_bench)
endif()

# Wendle's part of the Wine bed: its driver program, and Wendle.exe itself among the bed's files.
add_executable(wendledriver ${CMAKE_CURRENT_LIST_DIR}/wendledriver.cpp)
set_target_properties(wendledriver PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
target_link_libraries(wendledriver PRIVATE version)
list(APPEND bed_files $<TARGET_FILE:Wendle> $<TARGET_FILE:wendledriver>)

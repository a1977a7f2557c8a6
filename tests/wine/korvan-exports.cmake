# Korvan's boundary in the win32 build: the export table of the built DLL checked against its
# export list, and the Windows program that resolves every listed name and calls each alias
# routine in the Wine bed (the list travels into the bed with it).
set(korvan_export_list ${PROJECT_SOURCE_DIR}/library/win32/Korvan.def)

add_executable(exports_wine_test ${CMAKE_CURRENT_LIST_DIR}/exports_wine_test.cpp)
set_target_properties(exports_wine_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR}/bin)
target_include_directories(exports_wine_test PRIVATE ${PROJECT_SOURCE_DIR}/include)
list(APPEND bed_files $<TARGET_FILE:exports_wine_test> ${korvan_export_list})

if(CMAKE_OBJDUMP)
  set(korvan_objdump ${CMAKE_OBJDUMP})
else()
  find_program(korvan_objdump NAMES i686-w64-mingw32-objdump objdump)
endif()
add_test(NAME korvan.export_table
  COMMAND bash ${CMAKE_CURRENT_LIST_DIR}/check-exports.sh ${korvan_objdump} $<TARGET_FILE:Korvan> ${korvan_export_list})
set_tests_properties(korvan.export_table PROPERTIES TIMEOUT 60)

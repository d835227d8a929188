# lumora included by another project with add_subdirectory builds just the library, and
# needs neither GoogleTest, Google Benchmark nor SDL2 (not in the sanitizer or cross
# builds, whose compiler settings the scratch project would not share).
if(NOT LUMORA_SANITIZE AND NOT CMAKE_CROSSCOMPILING)
  add_test(NAME UsedThroughAddSubdirectory
           COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSOURCE=${PROJECT_SOURCE_DIR}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/subproject/check.cmake)
endif()

lumora_add_test(test_display SOURCES test_display.cpp)
lumora_add_test(test_driver SOURCES test_driver.cpp LIBS lumorashowcase_lib)

# The installed package works for a program of its own (not in the sanitizer build, whose
# library needs the sanitizer runtime at link time).
if(NOT LUMORA_SANITIZE)
  add_test(NAME InstallAndUseFromAnotherProject
           COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSOURCE=${PROJECT_SOURCE_DIR}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/install/check.cmake)
endif()

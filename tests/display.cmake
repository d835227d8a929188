lumora_add_test(test_display SOURCES test_display.cpp)
lumora_add_test(test_driver SOURCES test_driver.cpp LIBS lumorashowcase_lib)

# The installed package works for a program of its own (not in the sanitizer build, whose
# library needs the sanitizer runtime at link time). A cross build builds the program with
# its toolchain file and runs it under its emulator (a list, passed joined by '|').
if(NOT LUMORA_SANITIZE)
  string(REPLACE ";" "|" LUMORA_CHECK_EMULATOR "${CMAKE_CROSSCOMPILING_EMULATOR}")
  add_test(NAME InstallAndUseFromAnotherProject
           COMMAND ${CMAKE_COMMAND} -DBUILD=${CMAKE_BINARY_DIR} -DSOURCE=${PROJECT_SOURCE_DIR}
                   -DTOOLCHAIN=${CMAKE_TOOLCHAIN_FILE} -DEMULATOR=${LUMORA_CHECK_EMULATOR}
                   -P ${CMAKE_CURRENT_SOURCE_DIR}/install/check.cmake)
endif()

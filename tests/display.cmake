lumora_add_test(test_display SOURCES test_display.cpp)
lumora_add_test(test_driver SOURCES test_driver.cpp LIBS lumorashowcase_lib)

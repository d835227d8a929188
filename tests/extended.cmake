# The exact extended arithmetic.
lumora_add_test(test_extended SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_extended.cpp)

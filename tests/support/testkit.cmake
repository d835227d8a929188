# lumora_testkit: the .fnt and .bmp builders and test-file helpers shared by the tests and
# the fuzz seed maker. Included by tests/CMakeLists.txt and fuzz/CMakeLists.txt; defined once.
include_guard(GLOBAL)

add_library(lumora_testkit STATIC
  ${CMAKE_CURRENT_LIST_DIR}/fnt_builder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/bmp_builder.cpp
  ${CMAKE_CURRENT_LIST_DIR}/files.cpp)
# "support/..." for the kit's headers, "lumora/internal/..." for the file layouts.
target_include_directories(lumora_testkit PUBLIC ${PROJECT_SOURCE_DIR}/tests ${PROJECT_SOURCE_DIR})
target_compile_features(lumora_testkit PUBLIC cxx_std_20)

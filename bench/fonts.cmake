# Text drawing and measuring with a showcase font, in nanoseconds per ink pixel.
lumora_add_bench(bench_fonts SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_fonts.cpp)
target_compile_definitions(bench_fonts PRIVATE LUMORA_SOURCE_DIR="${PROJECT_SOURCE_DIR}")

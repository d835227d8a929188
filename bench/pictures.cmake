# Picture display and loading, in nanoseconds per destination pixel.
lumora_add_bench(bench_pictures SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_pictures.cpp)

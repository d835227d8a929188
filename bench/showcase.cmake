# Frame times of the showcase scenes rendered headless with the real assets (own main).
lumora_add_bench(bench_scenes SOURCES ${CMAKE_CURRENT_LIST_DIR}/bench_scenes.cpp
  LIBS lumorashowcase_lib)

# Primitives and span blends, per pixel written.
lumora_add_bench(bench_primitives SOURCES bench_primitives.cpp)

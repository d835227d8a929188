# Fuzz regressions: the kept inputs under tests/fuzz_regressions/ and the built-in seeds,
# run through the fuzz targets' own bodies.
set(LUMORA_FUZZ_DIR ${PROJECT_SOURCE_DIR}/fuzz)
lumora_add_test(test_fuzz_regressions SOURCES test_fuzz_regressions.cpp
  ${LUMORA_FUZZ_DIR}/fuzz_support.cpp ${LUMORA_FUZZ_DIR}/fuzz_fnt_body.cpp
  ${LUMORA_FUZZ_DIR}/fuzz_bmp_body.cpp ${LUMORA_FUZZ_DIR}/fuzz_draw_body.cpp
  ${LUMORA_FUZZ_DIR}/seeds.cpp
  LIBS lumora_testkit)

# Pi, cosine and sine of the extended arithmetic, checked against MPFR's correctly rounded
# values. Left out where the target has no MPFR (libmpfr-dev), as in a cross build without
# the target's package.
find_library(LUMORA_MPFR_LIBRARY mpfr)
find_path(LUMORA_GMP_INCLUDE_DIR gmp.h)
if(LUMORA_MPFR_LIBRARY AND LUMORA_GMP_INCLUDE_DIR)
  lumora_add_test(test_extended_trig SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_extended_trig.cpp
    LIBS ${LUMORA_MPFR_LIBRARY})
else()
  message(STATUS "MPFR not found: test_extended_trig is not built")
endif()

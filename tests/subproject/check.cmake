# Builds tests/subproject, which includes lumora with add_subdirectory, with GoogleTest,
# Google Benchmark, SDL2 and zlib hidden from find_package as if they were not installed,
# then runs its program. Only the library may be built: no tests, tools or showcase.
set(DIR ${BUILD}/subproject-check)
file(REMOVE_RECURSE ${DIR})
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE}/tests/subproject -B ${DIR}
                -DLUMORA_SOURCE=${SOURCE} -DCMAKE_BUILD_TYPE=Release
                -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON
                -DCMAKE_DISABLE_FIND_PACKAGE_SDL2=ON -DCMAKE_DISABLE_FIND_PACKAGE_ZLIB=ON
                RESULT_VARIABLE R)
if(R)
  message(FATAL_ERROR "configuring the project that includes lumora failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${DIR} -j 2 RESULT_VARIABLE R)
if(R)
  message(FATAL_ERROR "building the project that includes lumora failed")
endif()
file(GLOB_RECURSE EXTRA ${DIR}/lumora/bin/*)
if(EXTRA)
  message(FATAL_ERROR "more than the library was built: ${EXTRA}")
endif()
execute_process(COMMAND ${DIR}/app RESULT_VARIABLE R)
if(R)
  message(FATAL_ERROR "the program drew the wrong pixel")
endif()

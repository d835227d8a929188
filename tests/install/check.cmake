# Installs the build into a scratch prefix, then builds and runs the consumer against it.
set(PREFIX ${BUILD}/install-check/prefix)
file(REMOVE_RECURSE ${BUILD}/install-check)
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD} --prefix ${PREFIX}
                RESULT_VARIABLE R OUTPUT_QUIET)
if(R)
  message(FATAL_ERROR "install failed")
endif()
# A cross build passes its toolchain file and emulator ('|' between its words).
set(CONSUMER_ARGS "")
if(TOOLCHAIN)
  list(APPEND CONSUMER_ARGS -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN})
endif()
string(REPLACE "|" ";" EMULATOR "${EMULATOR}")
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE}/tests/install/consumer
                -B ${BUILD}/install-check/build -DCMAKE_PREFIX_PATH=${PREFIX} ${CONSUMER_ARGS}
                RESULT_VARIABLE R)
if(R)
  message(FATAL_ERROR "configuring the consumer failed")
endif()
# pkg-config searches CMAKE_PREFIX_PATH as well.
execute_process(COMMAND ${CMAKE_COMMAND} --build ${BUILD}/install-check/build RESULT_VARIABLE R)
if(R)
  message(FATAL_ERROR "building the consumer failed")
endif()
foreach(APP app_cmake app_pkgconfig)
  set(PROGRAM ${BUILD}/install-check/build/${APP})
  if(EXISTS ${PROGRAM}.exe)  # a Windows build, whose emulator (Wine) wants the whole name
    set(PROGRAM ${PROGRAM}.exe)
  endif()
  execute_process(COMMAND ${EMULATOR} ${PROGRAM} RESULT_VARIABLE R)
  if(R)
    message(FATAL_ERROR "${APP} drew the wrong pixel")
  endif()
endforeach()

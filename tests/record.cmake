# lumora-record: PNG writer, options, schedule, video timeline, headless runs and the tool.
if(TARGET lumora_record_lib)
  lumora_add_test(test_record SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_record.cpp
    LIBS lumora_record_lib)
  add_dependencies(test_record lumora-record)
endif()

# The presentation's frames against tests/golden/.
if(TARGET lumora_record_lib)
  lumora_add_test(test_golden SOURCES ${CMAKE_CURRENT_LIST_DIR}/test_golden.cpp
    LIBS lumora_record_lib)
  add_dependencies(test_golden showcase_assets)
endif()

# Code shared by the tools: the 24-bit BMP writer.
add_library(lumora_tools_common STATIC ${CMAKE_CURRENT_LIST_DIR}/common/bmp.cpp)
target_include_directories(lumora_tools_common PUBLIC ${PROJECT_SOURCE_DIR})

# Everything of the program but main() and the platform layer, start-up included, so tests
# drive the real code; the desktop and the browser build share it. Needs tuvero_platform and
# TUVERO_WARNINGS.
file(GLOB CORE_SOURCES CONFIGURE_DEPENDS app/*.cpp assets/*.cpp render/*.cpp scenes/*.cpp
     offline/*.cpp startup/*.cpp)
list(REMOVE_ITEM CORE_SOURCES ${CMAKE_SOURCE_DIR}/startup/main.cpp)
add_library(tuvero_core STATIC ${CORE_SOURCES})
target_include_directories(tuvero_core PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(tuvero_core PRIVATE ${TUVERO_WARNINGS})
target_link_libraries(tuvero_core PUBLIC tuvero_platform)

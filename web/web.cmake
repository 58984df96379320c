# The browser build (em++): the show as tuvero.js + tuvero.wasm + tuvero.data (its files,
# preloaded into the virtual file system). scripts/build-web drives it; the libraries come from
# the cache that scripts/build-web-libs fills.
set(TUVERO_WEB_PREFIX "" CACHE PATH "SDL2, libopenmpt and libjpeg-turbo built for the browser")
set(TUVERO_WEB_DATA "" CACHE PATH "The show's data folder; its -hd sibling goes along")
if(NOT TUVERO_WEB_PREFIX OR NOT EXISTS ${TUVERO_WEB_PREFIX}/lib/libSDL2.a)
  message(FATAL_ERROR "TUVERO_WEB_PREFIX must name the library cache (scripts/build-web-libs)")
endif()
if(NOT TUVERO_WEB_DATA OR NOT EXISTS ${TUVERO_WEB_DATA}/musa.mo3)
  message(FATAL_ERROR "TUVERO_WEB_DATA must name the generated data folder")
endif()

set(TUVERO_WARNINGS -Wall -Wextra)
include_directories(SYSTEM ${TUVERO_WEB_PREFIX}/include ${TUVERO_WEB_PREFIX}/include/SDL2)
set(web_libs ${TUVERO_WEB_PREFIX}/lib/libSDL2.a ${TUVERO_WEB_PREFIX}/lib/libopenmpt.a
             ${TUVERO_WEB_PREFIX}/lib/libjpeg.a)

file(GLOB PLATFORM_SOURCES CONFIGURE_DEPENDS platform/*.cpp)
list(REMOVE_ITEM PLATFORM_SOURCES ${CMAKE_SOURCE_DIR}/platform/png_writer.cpp)
add_library(tuvero_platform STATIC ${PLATFORM_SOURCES})
target_include_directories(tuvero_platform PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(tuvero_platform PRIVATE ${TUVERO_WARNINGS})

include(cmake/show_core.cmake)
add_executable(tuvero startup/main.cpp)
target_link_libraries(tuvero PRIVATE tuvero_core)
target_compile_options(tuvero PRIVATE ${TUVERO_WARNINGS})
target_compile_definitions(tuvero PRIVATE TUVERO_VERSION="${PROJECT_VERSION}")
target_link_libraries(tuvero PRIVATE tuvero_platform ${web_libs})
set_target_properties(tuvero PROPERTIES SUFFIX ".js")

# The show's files: the data folder and the high-resolution pictures beside it, in the places
# the desktop show has them, so the same folder rules choose between them.
get_filename_component(web_data_hd ${TUVERO_WEB_DATA}-hd ABSOLUTE)
# (SHELL: keeps each option with its value: CMake folds repeated options otherwise.)
set(web_preload "SHELL:--preload-file ${TUVERO_WEB_DATA}@/show/data"
                "SHELL:--exclude-file '*.stamp'")
if(EXISTS ${web_data_hd}/loading.jpg)
  list(APPEND web_preload "SHELL:--preload-file ${web_data_hd}@/show/data-hd")
endif()

# The show's own loop runs as on the desktop: asyncify suspends it at every presented frame and
# resumes it on the browser's next animation frame (platform/browser_web.cpp).
target_link_options(tuvero PRIVATE
  -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2
  -sASYNCIFY -sASYNCIFY_STACK_SIZE=131072
  -sALLOW_MEMORY_GROWTH=1 -sINITIAL_MEMORY=134217728
  -sINVOKE_RUN=0 -sEXIT_RUNTIME=1 -sENVIRONMENT=web
  "-sEXPORTED_RUNTIME_METHODS=['callMain','FS']"
  # SDL's Web Audio output needs two functions of the runtime that are not kept otherwise.
  "SHELL:--js-library ${CMAKE_SOURCE_DIR}/web/sdl_audio_needs.js"
  ${web_preload})

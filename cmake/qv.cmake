include(GoogleTest)

# The suppressions of tools/lsan.supp and tools/tsan.supp, built into the
# program and every test of a sanitizer build, so that each runs as it is, a
# person's desktop included. They name system libraries only, never our code.
if(QV_SANITIZE)
  file(READ ${CMAKE_SOURCE_DIR}/tools/lsan.supp qv_lsan_supp)
  file(READ ${CMAKE_SOURCE_DIR}/tools/tsan.supp qv_tsan_supp)
  set_property(DIRECTORY ${CMAKE_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS
    ${CMAKE_SOURCE_DIR}/tools/lsan.supp ${CMAKE_SOURCE_DIR}/tools/tsan.supp)
  file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/sanitizer_suppressions.cpp CONTENT
"// Generated from tools/lsan.supp and tools/tsan.supp.
extern \"C\" const char* __lsan_default_suppressions() { return R\"supp(@qv_lsan_supp@)supp\"; }
extern \"C\" const char* __tsan_default_suppressions() { return R\"supp(@qv_tsan_supp@)supp\"; }
" @ONLY)
  add_library(qv_sanitizer_suppressions OBJECT ${CMAKE_BINARY_DIR}/sanitizer_suppressions.cpp)
endif()

# Links the sanitizers' suppressions into an executable of a sanitizer build.
function(qv_sanitizer_suppressions target)
  if(TARGET qv_sanitizer_suppressions)
    target_link_libraries(${target} PRIVATE qv_sanitizer_suppressions)
  endif()
endfunction()

# Shared build rules: our own code builds with warnings as errors.
function(qv_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Werror
    -Wno-missing-field-initializers
    # GCC 12 at -O3 reports these inside libstdc++'s own inlined copies
    # (false positives); the Debug build keeps them as errors.
    $<$<NOT:$<CONFIG:Debug>>:-Wno-array-bounds -Wno-restrict -Wno-stringop-overflow -Wno-stringop-overread>)
endfunction()

# qv_library(NAME <target> [SHARED] [RECURSE] LINKS <libs...>)
# Every .cpp of the calling folder (and its subfolders with RECURSE) is one library.
function(qv_library)
  cmake_parse_arguments(A "SHARED;RECURSE" "NAME" "LINKS" ${ARGN})
  if(A_RECURSE)
    file(GLOB_RECURSE srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  else()
    file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  endif()
  if(A_SHARED)
    add_library(${A_NAME} SHARED ${srcs})
  else()
    add_library(${A_NAME} STATIC ${srcs})
  endif()
  target_include_directories(${A_NAME} PUBLIC ${CMAKE_SOURCE_DIR})
  target_link_libraries(${A_NAME} PUBLIC ${A_LINKS})
  qv_warnings(${A_NAME})
endfunction()

# qv_test(NAME <target> [TSAN] LINKS <libs...>)
# Every .cpp of the calling folder is one GoogleTest executable. TSAN marks
# the threaded suites that the ThreadSanitizer build runs. The pictures a
# suite saves go to <build>/snapshots/<target> (tests/support/snapshot_file.h).
function(qv_test)
  cmake_parse_arguments(A "TSAN" "NAME" "LINKS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  add_executable(${A_NAME} ${srcs})
  target_link_libraries(${A_NAME} PRIVATE ${A_LINKS} GTest::gtest GTest::gtest_main)
  target_include_directories(${A_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  target_compile_definitions(${A_NAME} PRIVATE QV_SNAPSHOT_DIR="${CMAKE_BINARY_DIR}/snapshots/${A_NAME}")
  qv_warnings(${A_NAME})
  qv_sanitizer_suppressions(${A_NAME})
  # One label per suite: a list would not survive test discovery's properties.
  set(label unit)
  if(A_TSAN)
    set(label tsan)
  endif()
  # NO_PRETTY_VALUES: a table case is named by its own name, not by the bytes
  # of its value, which hold pointers and so changed with every discovery.
  gtest_discover_tests(${A_NAME}
    PROPERTIES LABELS ${label} ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    DISCOVERY_TIMEOUT 60 NO_PRETTY_VALUES)
endfunction()

# qv_bench(NAME <target> LINKS <libs...>)
# The main.cpp of the calling folder is one benchmark program.
function(qv_bench)
  cmake_parse_arguments(A "" "NAME" "LINKS" ${ARGN})
  add_executable(${A_NAME} ${CMAKE_CURRENT_SOURCE_DIR}/main.cpp)
  target_link_libraries(${A_NAME} PRIVATE ${A_LINKS})
  target_include_directories(${A_NAME} PRIVATE ${CMAKE_SOURCE_DIR})
  qv_warnings(${A_NAME})
endfunction()

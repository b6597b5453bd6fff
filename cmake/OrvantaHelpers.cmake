# Shared helpers for every target of the project.

# GoogleTest: the system package natively, built from Debian's source package
# when cross-compiling (the mingw build needs its own copy).
macro(orvanta_find_gtest)
  if(NOT TARGET GTest::gtest_main)
    if(CMAKE_CROSSCOMPILING)
      set(gtest_force_shared_crt OFF CACHE BOOL "" FORCE)
      set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
      set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
      add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
      # Our warning policy is for our code, not for GoogleTest's.
      target_compile_options(gtest PRIVATE -w)
      target_compile_options(gtest_main PRIVATE -w)
    else()
      find_package(GTest REQUIRED)
    endif()
  endif()
endmacro()

# orvanta_add_test(name SOURCES a.cpp b.cpp LIBS lib1 lib2)
# One CTest entry per test program; under the mingw toolchain CTest runs it
# through the wine wrapper named by CMAKE_CROSSCOMPILING_EMULATOR.
function(orvanta_add_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest_main)
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT 600
    ENVIRONMENT "ORVANTA_SOURCE_DIR=${PROJECT_SOURCE_DIR};ORVANTA_BINARY_DIR=${CMAKE_BINARY_DIR}")
endfunction()

# A static library of the given sources, or an interface library while a
# folder has none yet, so that its dependents still configure.
function(orvanta_library name)
  cmake_parse_arguments(L "" "" "SOURCES;DEPS" ${ARGN})
  if(L_SOURCES)
    add_library(${name} STATIC ${L_SOURCES})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${L_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${L_DEPS})
  endif()
endfunction()

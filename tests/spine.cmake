# Tests of the plug-in spine that need more than one plain test program:
# programs with run directories of their own (a run directory is an
# executable's folder), the built plug-in loaded through its exports,
# orvanta-host end to end, the export table, and, natively, the INI writer.
set(spine_dir ${CMAKE_CURRENT_SOURCE_DIR}/spine)
if(WIN32)
  set(spine_call __stdcall)
else()
  set(spine_call "")
endif()

add_library(orvanta_spine_test_support STATIC
  ${spine_dir}/files.cpp ${spine_dir}/files_${ORVANTA_PLATFORM}.cpp
  ${spine_dir}/library_${ORVANTA_PLATFORM}.cpp)
target_include_directories(orvanta_spine_test_support PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
target_link_libraries(orvanta_spine_test_support PUBLIC orvanta_platform ${CMAKE_DL_LIBS})
foreach(t settings_test handler_test exports_test)
  target_link_libraries(${t} PRIVATE orvanta_spine_test_support)
endforeach()

# The settings file and the companion start of one program never meet another's.
set_target_properties(handler_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/handler_run)

# A space in the folder's name, as under "Program Files", and GBK characters.
set(exports_run "${CMAKE_CURRENT_BINARY_DIR}/exports run 运行")
set_target_properties(exports_test PROPERTIES RUNTIME_OUTPUT_DIRECTORY "${exports_run}")
target_compile_definitions(exports_test PRIVATE
  "ORVANTA_PLUGIN_FILE=\"$<TARGET_FILE:orvanta_plugin>\"" "ORVANTA_TEST_CALL=${spine_call}")
add_executable(companion_standin ${spine_dir}/standin.cpp)
target_link_libraries(companion_standin PRIVATE orvanta_platform)
set_target_properties(companion_standin PROPERTIES OUTPUT_NAME "Orvanta（限量版）" SUFFIX ".exe"
  RUNTIME_OUTPUT_DIRECTORY "${exports_run}/standin")
add_dependencies(exports_test orvanta_plugin companion_standin)
if(WIN32)
  # What Windows would run first for an unquoted command line and no
  # application name: "<tests>\exports" + ".exe".
  add_executable(companion_decoy ${spine_dir}/standin.cpp)
  target_link_libraries(companion_decoy PRIVATE orvanta_platform)
  set_target_properties(companion_decoy PROPERTIES OUTPUT_NAME exports
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  add_dependencies(exports_test companion_decoy)
endif()

if(NOT WIN32)
  # The POSIX INI reader and writer are our own; on Windows they are the system's.
  orvanta_add_test(posix_ini_test SOURCES ${spine_dir}/posix_ini_test.cpp
    LIBS orvanta_spine_test_support orvanta_test_support orvanta_core)
  add_executable(settings_writer ${spine_dir}/settings_writer.cpp)
  target_link_libraries(settings_writer PRIVATE orvanta_core)
  orvanta_add_test(settings_concurrency_test SOURCES ${spine_dir}/settings_concurrency_test.cpp
    LIBS orvanta_spine_test_support orvanta_test_support orvanta_core)
  target_compile_definitions(settings_concurrency_test PRIVATE
    "ORVANTA_SETTINGS_WRITER=\"$<TARGET_FILE:settings_writer>\"")
  add_dependencies(settings_concurrency_test settings_writer)
endif()

find_package(Python3 REQUIRED COMPONENTS Interpreter)
# orvanta-host loading the plug-in, run as a user would (under wine for Windows).
add_test(NAME host_e2e COMMAND Python3::Interpreter ${spine_dir}/host_e2e.py
  ${CMAKE_CURRENT_BINARY_DIR} $<TARGET_FILE:orvanta-host> $<TARGET_FILE:orvanta_plugin>
  ${CMAKE_CROSSCOMPILING_EMULATOR})
set_tests_properties(host_e2e PROPERTIES TIMEOUT 600)
# For the programs that load the plug-in at run time: LeakSanitizer (clang 14,
# glibc 2.36) misreads their thread-local storage and crashes at exit now and
# then (google/sanitizers#1322) unless this interception is off.
foreach(t host_e2e exports_test)
  set_property(TEST ${t} APPEND PROPERTY ENVIRONMENT "ASAN_OPTIONS=intercept_tls_get_addr=0")
endforeach()
if(WIN32)
  add_test(NAME export_table COMMAND Python3::Interpreter ${spine_dir}/check_exports.py
    pe ${CMAKE_OBJDUMP} $<TARGET_FILE:orvanta_plugin>)
else()
  add_test(NAME export_table COMMAND Python3::Interpreter ${spine_dir}/check_exports.py
    elf ${CMAKE_NM} $<TARGET_FILE:orvanta_plugin>)
endif()

# The commands' tests run beside a stand-in web server with its services
# (tools/standin/with-standin --services, as in web.cmake) and load the built
# plug-in as the chat-robot host does; the demo runs end to end with piped
# messages.
find_package(Python3 REQUIRED COMPONENTS Interpreter)

if(TARGET commands_test)
  # A run directory of its own: the settings file it writes under it is no
  # other test's.
  set_target_properties(commands_test PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/commands_run)
  set_property(TARGET commands_test PROPERTY CROSSCOMPILING_EMULATOR
               ${PROJECT_SOURCE_DIR}/tools/standin/with-standin --services
               ${CMAKE_CROSSCOMPILING_EMULATOR})
  if(WIN32)
    set(commands_call __stdcall)
  else()
    set(commands_call "")
  endif()
  # The stand-in client from web.cmake, the library loading from spine.cmake.
  target_link_libraries(commands_test PRIVATE orvanta_standin_client orvanta_spine_test_support)
  target_compile_definitions(commands_test PRIVATE
    "ORVANTA_PLUGIN_FILE=\"$<TARGET_FILE:orvanta_plugin>\"" "ORVANTA_TEST_CALL=${commands_call}")
  add_dependencies(commands_test orvanta_plugin)
endif()

if(TARGET orvanta-host AND TARGET orvanta_plugin)
  if(CMAKE_CROSSCOMPILING)
    set(demo_wine --wine)
  endif()
  add_test(NAME demo_piped COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/demo_check.py
    ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${demo_wine})
  set_tests_properties(demo_piped PROPERTIES TIMEOUT 600)
endif()

# The programs that load the plug-in at run time get the sanitizer option
# that spine.cmake gives its own (LeakSanitizer and thread-local storage).
foreach(t commands_test demo_piped)
  if(TEST ${t})
    set_property(TEST ${t} APPEND PROPERTY ENVIRONMENT "ASAN_OPTIONS=intercept_tls_get_addr=0")
  endif()
endforeach()

# The stand-in services' own checks: the same Python for every build.
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME standin_services_test
    COMMAND ${Python3_EXECUTABLE} ${PROJECT_SOURCE_DIR}/tools/standin/test_services.py)
endif()

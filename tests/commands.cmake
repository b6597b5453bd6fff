# The commands' tests talk to the stand-in web server with its services: a
# CTest fixture starts one on a free loopback port before them (its port in a
# file beside the tests) and stops it after them.
if(TARGET commands_test)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  set(ORVANTA_STANDIN_DIR ${PROJECT_SOURCE_DIR}/tools/standin)
  set(commands_port_file commands_standin.port)

  # A run directory of its own: the settings file it writes under it is no
  # other test's.
  set_target_properties(commands_test PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR}/commands_run)
  # It loads the built plug-in as the chat-robot host does (library loading
  # from the spine's test support).
  if(WIN32)
    set(commands_call __stdcall)
  else()
    set(commands_call "")
  endif()
  target_link_libraries(commands_test PRIVATE orvanta_spine_test_support)
  target_compile_definitions(commands_test PRIVATE
    "ORVANTA_PLUGIN_FILE=\"$<TARGET_FILE:orvanta_plugin>\"" "ORVANTA_TEST_CALL=${commands_call}")
  add_dependencies(commands_test orvanta_plugin)

  # The server stops by itself after its lifetime should the clean-up never run.
  add_test(NAME commands_standin_start
    COMMAND sh -c "rm -f \"$1\" \"$1.pid\"; \"$2\" \"$3/standin.py\" --port 0 --port-file \"$1\" --lifetime 1800 --services </dev/null >/dev/null 2>&1 & echo $! >\"$1.pid\"; i=0; while [ ! -s \"$1\" ]; do i=$((i+1)); [ $i -le 200 ] || exit 1; sleep 0.1; done"
            start ${commands_port_file} ${Python3_EXECUTABLE} ${ORVANTA_STANDIN_DIR}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  add_test(NAME commands_standin_stop
    COMMAND sh -c "[ ! -s \"$1.pid\" ] || kill \"$(cat \"$1.pid\")\" 2>/dev/null; rm -f \"$1\" \"$1.pid\"; exit 0"
            stop ${commands_port_file}
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_tests_properties(commands_standin_start PROPERTIES FIXTURES_SETUP commands_standin TIMEOUT 60)
  set_tests_properties(commands_standin_stop PROPERTIES FIXTURES_CLEANUP commands_standin TIMEOUT 60)

  set_tests_properties(commands_test PROPERTIES FIXTURES_REQUIRED commands_standin
    WORKING_DIRECTORY ${CMAKE_CURRENT_BINARY_DIR})
  set_property(TEST commands_test APPEND PROPERTY ENVIRONMENT
    "ORVANTA_STANDIN_PORT_FILE=${commands_port_file}")

  if(NOT CMAKE_CROSSCOMPILING)
    add_test(NAME standin_services_test
      COMMAND ${Python3_EXECUTABLE} ${ORVANTA_STANDIN_DIR}/services_test.py)
  endif()
endif()

# The demo end to end with piped messages, through the built host and
# plug-in (under wine for the Windows build).
if(TARGET orvanta-host AND TARGET orvanta_plugin)
  find_package(Python3 REQUIRED COMPONENTS Interpreter)
  if(CMAKE_CROSSCOMPILING)
    set(demo_wine --wine)
  endif()
  add_test(NAME demo_piped COMMAND ${Python3_EXECUTABLE} ${CMAKE_CURRENT_SOURCE_DIR}/demo_check.py
    ${PROJECT_SOURCE_DIR} ${CMAKE_BINARY_DIR} ${demo_wine})
  set_tests_properties(demo_piped PROPERTIES TIMEOUT 600)
endif()

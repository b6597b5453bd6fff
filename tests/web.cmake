# Tests that talk to the stand-in web server run beside a server of their own:
# tools/standin/with-standin starts it on a free loopback port, passes the port
# on in ORVANTA_STANDIN_PORT and stops it afterwards.
set(ORVANTA_WITH_STANDIN ${PROJECT_SOURCE_DIR}/tools/standin/with-standin)

if(WIN32)
  add_library(orvanta_standin_client STATIC support/standin_client.cpp support/loopback_win32.cpp)
  target_link_libraries(orvanta_standin_client PUBLIC orvanta_test_support ws2_32)
else()
  add_library(orvanta_standin_client STATIC support/standin_client.cpp support/loopback_posix.cpp)
  target_link_libraries(orvanta_standin_client PUBLIC orvanta_test_support)
endif()

foreach(name web_request_test page_test)
  if(TARGET ${name})
    target_link_libraries(${name} PRIVATE orvanta_standin_client)
    # add_test starts a program through its target's CROSSCOMPILING_EMULATOR,
    # natively too under this project's policy level (CMP0158 unset): the
    # wrapper goes first, then wine where the build has it.
    set_property(TARGET ${name} PROPERTY CROSSCOMPILING_EMULATOR
                 ${ORVANTA_WITH_STANDIN} ${CMAKE_CROSSCOMPILING_EMULATOR})
  endif()
endforeach()

# The server's own checks; it is the same Python program for every build.
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME standin_selftest
           COMMAND python3 ${PROJECT_SOURCE_DIR}/tools/standin/test_standin.py)
  set_tests_properties(standin_selftest PROPERTIES TIMEOUT 120)
endif()

# The settings program: its behaviour test needs the behaviour library; on
# Windows its real window is driven under wine on an X display of its own.
if(TARGET companion_test AND TARGET orvanta_companion_logic)
  target_link_libraries(companion_test PRIVATE orvanta_companion_logic)
endif()

if(WIN32 AND TARGET orvanta_companion)
  add_executable(companion_window_probe companion/window_probe.cpp)
  target_include_directories(companion_window_probe PRIVATE ${PROJECT_SOURCE_DIR})
  target_link_libraries(companion_window_probe PRIVATE user32)
  set(plugin_arg "")
  if(TARGET orvanta_plugin)
    # With the plug-in the test also starts the program through it and reads
    # the saved prefix back from its descriptor.
    set(plugin_arg $<TARGET_FILE:orvanta_plugin>)
  endif()
  add_test(NAME companion_window
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/companion/window_test.sh
      ${PROJECT_SOURCE_DIR}/cmake/wine-run ${CMAKE_CURRENT_BINARY_DIR}/companion_window
      $<TARGET_FILE:orvanta_companion> $<TARGET_FILE:companion_window_probe>
      ${CMAKE_BINARY_DIR}/artifacts ${plugin_arg})
  set_tests_properties(companion_window PROPERTIES TIMEOUT 600 SKIP_RETURN_CODE 77)
endif()

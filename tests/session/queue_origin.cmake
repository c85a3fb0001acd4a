# The origin of forwarding queues and its tests, until the session library
# builds session/cups/queue_origin.cpp: then the static library goes, and the
# test links the session library instead.
add_library(kvx_queue_origin STATIC ${CMAKE_SOURCE_DIR}/session/cups/queue_origin.cpp)
target_include_directories(kvx_queue_origin PUBLIC ${CMAKE_SOURCE_DIR}/session ${CUPS_INCLUDE_DIR})
target_link_libraries(kvx_queue_origin PUBLIC ${CUPS_LIBRARY})

kvx_add_test(test_session_queue_origin
  ${CMAKE_CURRENT_LIST_DIR}/queue_origin_test.cpp
  ${CMAKE_SOURCE_DIR}/tests/cups/private_scheduler.cpp
  ${CMAKE_SOURCE_DIR}/tests/dialog/dialog_process.cpp)
target_include_directories(test_session_queue_origin PRIVATE ${CMAKE_SOURCE_DIR}/tests)
target_link_libraries(test_session_queue_origin PRIVATE kvx_queue_origin GTest::gmock nlohmann_json::nlohmann_json)
# The scheduler helpers are the CUPS tests', which also run the dialog.
target_compile_definitions(test_session_queue_origin PRIVATE KVX_DIALOG_EXECUTABLE="$<TARGET_FILE:kvx-dialog>")

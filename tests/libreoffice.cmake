# LibreOffice reads back what we write. A program of its own with the label
# "libreoffice" (ctest -L libreoffice); it starts LibreOffice once for all its
# cases, so it runs as one CTest entry rather than one process per case.
file(GLOB LIBREOFFICE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/libreoffice/*.cpp)
if(LIBREOFFICE_TEST_SOURCES)
  add_executable(quorlin_libreoffice_tests ${LIBREOFFICE_TEST_SOURCES})
  target_link_libraries(quorlin_libreoffice_tests PRIVATE quorlin_test_main)
  add_test(NAME libreoffice_round_trips COMMAND quorlin_libreoffice_tests)
  set_tests_properties(libreoffice_round_trips PROPERTIES
    LABELS libreoffice
    TIMEOUT 600
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen"
    SKIP_REGULAR_EXPRESSION "\\[  SKIPPED \\]")
endif()

# The main window, program start and the general error display.
marvek_teste(tst_principal gui/tst_principal.cpp SERVIDOR GUI LABELS principal)

# The real program under a virtual X server, seen from outside.
if(TARGET marvek)
  add_test(NAME tst_e2e_principal
           COMMAND xvfb-run -a bash ${CMAKE_CURRENT_SOURCE_DIR}/gui/e2e_principal.sh
                   $<TARGET_FILE:marvek>)
  set_tests_properties(tst_e2e_principal PROPERTIES
    FIXTURES_REQUIRED servidor TIMEOUT 180 LABELS principal
    ENVIRONMENT "MYSQL_UNIX_PORT=${MARVEK_SOCKET_TESTE};QT_QPA_PLATFORM=xcb;ASAN_OPTIONS=detect_leaks=0;UBSAN_OPTIONS=print_stacktrace=1")
endif()

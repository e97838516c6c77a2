marvek_teste(tst_cli tst_cli.cpp SERVIDOR LABELS cli LIBS marvek_cli)
if(TARGET marvek-cli)
  add_dependencies(tst_cli marvek-cli)
endif()

# The console stands on the core alone: no window, no network library in what it loads.
add_test(NAME cli_sem_janela_nem_rede
         COMMAND sh -c "! readelf -d \"$1\" | grep -E 'NEEDED.*libQt6(Network|Widgets|Gui)'"
                 -- $<TARGET_FILE:marvek-cli>)
set_tests_properties(cli_sem_janela_nem_rede PROPERTIES LABELS cli)

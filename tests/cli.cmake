marvek_teste(tst_cli tst_cli.cpp SERVIDOR LABELS cli)
if(TARGET marvek-cli)
  add_dependencies(tst_cli marvek-cli)
endif()

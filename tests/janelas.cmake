# The wizard, the maintenance windows and their web-service client, the about window.
marvek_teste(tst_wsinstall gui/tst_wsinstall.cpp gui/ServidorSoap.h GUI LABELS janelas)
marvek_teste(tst_prevalidacao gui/tst_prevalidacao.cpp SERVIDOR GUI LABELS janelas)
marvek_teste(tst_login gui/tst_login.cpp GUI LABELS janelas)
marvek_teste(tst_configuracoes gui/tst_configuracoes.cpp GUI LABELS janelas)
marvek_teste(tst_ajuda gui/tst_ajuda.cpp GUI LABELS janelas)

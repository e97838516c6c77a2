marvek_teste(tst_motorzip tst_motorzip.cpp LABELS operacoes)
marvek_teste(tst_backup tst_backup.cpp SERVIDOR LABELS operacoes)
marvek_teste(tst_restauracao tst_restauracao.cpp SERVIDOR LABELS operacoes)
marvek_teste(tst_limpeza tst_limpeza.cpp SERVIDOR LABELS operacoes)

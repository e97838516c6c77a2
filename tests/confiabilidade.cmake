# Reliability: the way back after a restore, faults injected into the operations (a server of
# their own that the tests stop), hostile archives and settings.
marvek_teste(tst_reversao tst_reversao.cpp SERVIDOR LABELS confiabilidade)
# Stops and starts a server of its own: not the shared fixture.
marvek_teste(tst_confiabilidade_servidor tst_confiabilidade_servidor.cpp LABELS confiabilidade)
marvek_teste(tst_confiabilidade_entrada tst_confiabilidade_entrada.cpp SERVIDOR
             LABELS confiabilidade)

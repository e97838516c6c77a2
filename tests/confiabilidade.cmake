# Reliability: the way back after a restore, faults injected into the operations (a server of
# their own that the tests stop), hostile archives and settings.
marvek_teste(tst_reversao tst_reversao.cpp SERVIDOR LABELS confiabilidade)

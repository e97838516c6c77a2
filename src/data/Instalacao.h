#pragma once

#include <QString>

namespace marvek {

class TDM;

// What sistema_qel.ini says about this installation, checked before any operation changes
// something.

// The settings file: sistema_qel.ini in the program folder.
QString ArquivoDeConfiguracao();

// The working database (key database of [ip], default gerente). Raises EErro when it is empty,
// not a plain identifier (letters, digits, "_", "$") or one of the server's own databases.
QString LerBancoDeTrabalho();

// The installation's branch (key CodFisica of [FilialMatriz]): a positive 32-bit number.
// Raises "Filial inválida, verifique o arquivo sistema_qel.ini" otherwise.
int LerCodFisica();

// True for the server's own databases (mysql, information_schema, performance_schema, sys).
bool EhBancoDoServidor(const QString& banco);

// The run's lock: one backup, restore or way back at a time on a database, whichever process,
// window or console runs it. A server-side named lock, so the server releases it when the
// process or its connection dies.
class TTravaExecucao {
public:
    // Raises EErro saying that another run is in progress when the lock is held elsewhere.
    TTravaExecucao(TDM& dm, const QString& banco);
    ~TTravaExecucao();
    TTravaExecucao(const TTravaExecucao&) = delete;
    TTravaExecucao& operator=(const TTravaExecucao&) = delete;

    // The lock's name on the server for a database.
    static QString Nome(const QString& banco);

private:
    TDM& m_dm;
    QString m_nome;
};

} // namespace marvek

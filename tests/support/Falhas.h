#pragma once

#include "support/TOperadorGravador.h"

#include <QMap>
#include <QString>
#include <QStringList>
#include <functional>

namespace teste {

// A MariaDB server of a test's own, in a folder of its own, that the test may stop and start
// again (scripts/servidor-mariadb.sh). Iniciar() also points MYSQL_UNIX_PORT at its socket, so
// it must run before the first connection of the test program.
class TServidorProprio {
public:
    explicit TServidorProprio(QString pasta);
    void Iniciar(); // raises std::runtime_error when the server does not start
    void Parar();
    QString Socket() const { return m_pasta + QStringLiteral("/mysql.sock"); }

private:
    void executar(const QString& acao);
    QString m_pasta;
};

// A recording operator whose hooks inject faults: after a log line (AoGravarLog), or at a given
// call of ProcessarMensagens counted from the moment the counter is armed.
class TOperadorFalha : public TOperadorGravador {
public:
    using TOperadorGravador::TOperadorGravador;

    // Called at the n-th ProcessarMensagens after Armar() (n counted from 1).
    std::function<void(int)> AoProcessar;
    void Armar() { m_armado = true; }

    void ProcessarMensagens() override;

private:
    bool m_armado = false;
    int m_chamadas = 0;
};

// A folder on a small file system of its own (tmpfs, when this process may mount one), for a
// disk that fills up or a folder that cannot be written at all. Unmounted on destruction.
class TDiscoPequeno {
public:
    // tamanho in bytes; somenteLeitura mounts it read-only.
    TDiscoPequeno(const QString& pasta, qint64 tamanho, bool somenteLeitura = false);
    ~TDiscoPequeno();
    TDiscoPequeno(const TDiscoPequeno&) = delete;
    TDiscoPequeno& operator=(const TDiscoPequeno&) = delete;
    bool Montado() const { return m_montado; }
    QString Pasta() const { return m_pasta; }

private:
    QString m_pasta;
    bool m_montado = false;
};

// Limits the size of any file this process writes (RLIMIT_FSIZE, SIGXFSZ ignored, so a write
// past the limit fails with EFBIG as on a full disk) while the object lives.
class TLimiteArquivo {
public:
    explicit TLimiteArquivo(qint64 bytes);
    ~TLimiteArquivo();
    TLimiteArquivo(const TLimiteArquivo&) = delete;
    TLimiteArquivo& operator=(const TLimiteArquivo&) = delete;

private:
    unsigned long long m_anterior;
};

// A file's whole content ("" when it cannot be read), and a file written whole (its folder
// made first).
QByteArray LerArquivo(const QString& arquivo);
void GravarArquivo(const QString& arquivo, const QByteArray& dados);

// CHECKSUM TABLE of every table of a database, by table name.
QMap<QString, QString> Somas(const QString& banco);

// Every table of "antes" (name -> checksum) is in banco or in one of its aside databases
// (banco_Backup_...) with the same checksum and passes CHECK TABLE. Returns the problems found,
// one per line (empty when nothing was lost).
QStringList TabelasPerdidas(const QString& banco, const QMap<QString, QString>& antes);

// A copy of every table of a database in another (created anew), for comparing later.
void CopiarBanco(const QString& de, const QString& para);

// Files and folders under a folder, recursively, relative names, sorted.
QStringList ArvoreDePasta(const QString& pasta);

// True when the text is one of the client library's messages for a server that is gone.
bool ErroDeConexao(const QString& texto);

} // namespace teste

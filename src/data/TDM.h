#pragma once

#include "base/Identificador.h"

#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <memory>
#include <optional>

struct st_mysql;
struct st_mysql_res;

namespace marvek {

// A result set read whole from the server. After opening, the first row is current (or, with
// no rows, Eof() is already true). Owned by whoever asked for it.
class TConsulta {
public:
    ~TConsulta();
    TConsulta(const TConsulta&) = delete;
    TConsulta& operator=(const TConsulta&) = delete;

    int RecordCount() const;
    int NumeroCampos() const;
    bool Eof() const { return m_linha == nullptr; }
    // Value of a column of the current row, by position from 0; a NULL gives an invalid QVariant.
    QVariant Campo(int indice) const;
    void Proximo();

private:
    friend class TDM;
    explicit TConsulta(st_mysql_res* resultado);
    st_mysql_res* m_resultado;
    char** m_linha = nullptr;
    unsigned long* m_tamanhos = nullptr;
};

// How long, in seconds, a statement waits for a table another session holds locked before it
// fails with a message that says so (120; tests may shorten it).
int& EsperaPorTrava();

// Ends the statements that the open connections of this process are running (KILL QUERY on
// a connection of its own): a stop that must not wait for a long statement. Any thread.
void EncerrarComandosEmAndamento();

// The program's one MySQL connection. Properties are set, then Abrir() connects; a statement
// run while it is closed opens it first (Handle()), except after the connection was lost.
class TConexao {
public:
    TConexao() = default;
    ~TConexao();
    TConexao(const TConexao&) = delete;
    TConexao& operator=(const TConexao&) = delete;

    QString Servidor = QStringLiteral("localhost");
    QString Banco;
    QString Usuario;
    QString Senha;
    int Porta = 3306;

    void Abrir();
    void Fechar();
    bool Aberta() const { return m_mysql != nullptr; }
    // Switches the current database; on an open connection the switch happens at once.
    void MudarBanco(const QString& banco);
    // The open handle, connecting first when the connection is closed.
    st_mysql* Handle();
    // Called after a failed statement: a connection the server dropped is closed and stays
    // lost (every later statement raises that) until Fechar() is called on purpose, since the
    // server-side locks of the run went with it.
    void VerificarPerda();
    bool Perdida() const { return !m_perda.isEmpty(); }
    // A new run starts on a new connection when the last one was lost.
    void Retomar() {
        if (Perdida())
            Fechar();
    }

private:
    st_mysql* m_mysql = nullptr;
    QString m_perda;
};

// The engines whose tables are carried: by their files (MyISAM, Aria) or as transportable
// tablespaces (InnoDB).
enum class TMotor { MyISAM, Aria, InnoDB };
// The engine the server names so (information_schema.TABLES.ENGINE), when it is carried.
std::optional<TMotor> MotorDoServidor(const QString& engine);
QString NomeDoMotor(TMotor motor);
// The endings of a table's files in an archive: .frm and .MYD (MyISAM); .frm, .MAI and .MAD
// (Aria); .frm, .ibd, .cfg and .sql, its CREATE TABLE statement (InnoDB).
QStringList ExtensoesNoArquivo(TMotor motor);
// Raises EErro unless sql is one CREATE TABLE of that table (its name quoted as the server
// writes it) with ENGINE=InnoDB and nothing that reads another table, names a folder, reaches
// another server or holds a second statement or a comment: the statement an InnoDB table of an
// archive is created from.
void ConferirDefinicao(const QString& sql, const QString& tabela);
// The longest definition taken (a CREATE TABLE of a few hundred columns is far below it).
constexpr qsizetype TamanhoMaximoDefinicao = 1 << 20;
// The page size an exported InnoDB tablespace was written with, read from its .cfg; nothing
// when the file cannot be read as one.
std::optional<quint32> PaginaDoTablespace(const QString& cfg);

// The data module: the connection, the settings that open it, the three statement helpers and
// what the operations rely on the server for.
class TDM {
public:
    TDM() = default;
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    TConexao Conexao;

    // Reads sistema_qel.ini in the program folder and opens the connection (port 3306).
    void Conectar();
    // Reads the same settings into the connection without opening it: the first statement
    // opens it.
    void Configurar();
    void AbrirConexao(const QString& servidor, const QString& banco, const QString& usuario,
                      const QString& senha, int porta);

    // First column of the first row, or the default when there is no row or it is NULL.
    // A database error is raised as EErro with the server's text.
    QVariant ConsultarValor(const QString& sql, const QVariant& padrao);
    // Rows affected.
    qint64 ExecutarComando(const QString& sql);
    // A new result set owned by the caller.
    std::unique_ptr<TConsulta> AbrirConsulta(const QString& sql);
    // The same, for a statement whose failure the caller can do without: no value instead of
    // the error.
    std::optional<QVariant> TentarConsultarValor(const QString& sql, const QVariant& padrao);
    std::optional<qint64> TentarExecutarComando(const QString& sql);

    // The server contract for the table files.
    // The server's data folder, ending with "/".
    QString PastaDeDados();
    // The connection's current database ("" when none).
    QString BancoAtual();
    // SHOW CREATE TABLE: the statement that creates the table of the current database.
    QString DefinicaoDaTabela(const QString& tabela);
    // BACKUP TABLES: writes the table's files into the folder, named as the server names the
    // table's files (ArquivoDaTabela), and returns that name: .frm and .MYD (MyISAM), .frm, .MAI
    // and .MAD (Aria), .frm, .ibd, .cfg and the CREATE TABLE statement in .sql (InnoDB, through
    // FLUSH TABLES ... FOR EXPORT). With travada the caller holds the table's write lock
    // (LOCK TABLES ... WRITE; MyISAM and Aria) and releases it afterwards. conferir, when given,
    // runs once the table is held still and before its files are copied: when it says no,
    // nothing is copied, the table is let go and no name returned.
    std::optional<QString> BackupTables(const QString& tabela, const QString& pasta,
                                        bool travada = false, TMotor motor = TMotor::MyISAM,
                                        const std::function<bool()>& conferir = {});
    // RESTORE TABLES: loads the table from its files in the folder (named as the server names
    // the table's files; failing that, matched without regard to case) into the database named
    // (the current one when empty), with the engine its files are of; refuses a table that
    // exists. Returns the name the table took (the file's own name).
    QString RestoreTables(const QString& tabela, const QString& pasta,
                          const QString& noBanco = QString());
    // REPAIR TABLE ... USE_FRM: rebuilds a MyISAM table's index from its .frm and .MYD, reading
    // the result rows; raises the server's message when the table is not OK afterwards.
    void ReconstruirIndices(const QString& banco, const QString& tabela);
    // Puts every table file of the database, and its folder, on the disk (after FLUSH TABLES).
    void SincronizarBanco(const QString& banco);

private:
    void executar(const QString& sql);
    void lerConfiguracao(const QString& arquivo, const QString& secao, int porta);
    void definirConexao(const QString& servidor, const QString& banco, const QString& usuario,
                        const QString& senha, int porta);
};

// A lock on tables held for a scope: the statement given (LOCK TABLES ..., FLUSH TABLES ...
// FOR EXPORT) takes it, UNLOCK TABLES gives it back on every path. Liberar gives it back now
// and raises what the server says; when an error unwinds the scope, a failing UNLOCK passes in
// silence (the error under way is the one to say).
class TTravaTabelas {
public:
    TTravaTabelas(TDM& dm, const QString& comando);
    ~TTravaTabelas();
    TTravaTabelas(const TTravaTabelas&) = delete;
    TTravaTabelas& operator=(const TTravaTabelas&) = delete;
    void Liberar();

private:
    TDM& m_dm;
    bool m_presa = true;
};

// A scratch database for a scope: created at once, dropped on every path. Remover drops it now
// and raises what the server says; when an error unwinds the scope, a failing DROP passes in
// silence (the next restore removes what is left).
class TBancoRascunho {
public:
    TBancoRascunho(TDM& dm, const QString& nome);
    ~TBancoRascunho();
    TBancoRascunho(const TBancoRascunho&) = delete;
    TBancoRascunho& operator=(const TBancoRascunho&) = delete;
    void Remover();

private:
    TDM& m_dm;
    QString m_nome;
    bool m_existe = true;
};

// The program's data module, alive for the whole run.
TDM& DM();

} // namespace marvek

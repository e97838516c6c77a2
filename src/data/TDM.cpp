#include "data/TDM.h"

#include "base/EErro.h"
#include "base/Pastas.h"
#include "data/ArquivoIni.h"
#include "data/Criptografia.h"
#include "data/Instalacao.h"

#include <errmsg.h>
#include <mysql.h>
#include <mysqld_error.h>

#include <map>
#include <mutex>
#include <vector>

namespace marvek {

namespace {
QString erroDe(st_mysql* m) {
    return QString::fromUtf8(mysql_error(m));
}

QVariant converter(const char* valor, unsigned long tamanho, const MYSQL_FIELD& campo) {
    if (!valor)
        return QVariant();
    const QByteArray bytes(valor, static_cast<qsizetype>(tamanho));
    bool ok = true;
    switch (campo.type) {
    case MYSQL_TYPE_TINY:
    case MYSQL_TYPE_SHORT:
    case MYSQL_TYPE_LONG:
    case MYSQL_TYPE_INT24:
    case MYSQL_TYPE_LONGLONG:
    case MYSQL_TYPE_YEAR: {
        if (campo.flags & UNSIGNED_FLAG) {
            const qulonglong v = bytes.toULongLong(&ok);
            if (ok)
                return QVariant(v);
        } else {
            const qlonglong v = bytes.toLongLong(&ok);
            if (ok)
                return QVariant(v);
        }
        break;
    }
    case MYSQL_TYPE_DECIMAL:
    case MYSQL_TYPE_NEWDECIMAL:
    case MYSQL_TYPE_FLOAT:
    case MYSQL_TYPE_DOUBLE: {
        const double v = bytes.toDouble(&ok);
        if (ok)
            return QVariant(v);
        break;
    }
    default:
        break;
    }
    return QVariant(QString::fromUtf8(bytes));
}

// Reads and frees every result the last statement produced.
void descartarResultados(st_mysql* m) {
    do {
        if (MYSQL_RES* r = mysql_store_result(m))
            mysql_free_result(r);
    } while (mysql_next_result(m) == 0);
}
} // namespace

// ---- TConsulta ----

TConsulta::TConsulta(st_mysql_res* resultado) : m_resultado(resultado) {
    Proximo();
}

TConsulta::~TConsulta() {
    if (m_resultado)
        mysql_free_result(m_resultado);
}

int TConsulta::RecordCount() const {
    return m_resultado ? static_cast<int>(mysql_num_rows(m_resultado)) : 0;
}

int TConsulta::NumeroCampos() const {
    return m_resultado ? static_cast<int>(mysql_num_fields(m_resultado)) : 0;
}

QVariant TConsulta::Campo(int indice) const {
    if (!m_linha)
        throw EErro(QStringLiteral("Não há registro atual na consulta"));
    if (indice < 0 || indice >= NumeroCampos())
        throw EErro(QStringLiteral("Campo %1 fora do intervalo").arg(indice));
    const MYSQL_FIELD* campos = mysql_fetch_fields(m_resultado);
    return converter(m_linha[indice], m_tamanhos[indice], campos[indice]);
}

void TConsulta::Proximo() {
    if (!m_resultado)
        return;
    m_linha = mysql_fetch_row(m_resultado);
    m_tamanhos = m_linha ? mysql_fetch_lengths(m_resultado) : nullptr;
}

// ---- the connections of this process, for a stop ----

namespace {
struct TConexaoAberta {
    unsigned long id;
    QString servidor, usuario, senha;
    int porta;
};
std::mutex g_mutexAbertas;
std::map<const TConexao*, TConexaoAberta> g_abertas;
} // namespace

void EncerrarComandosEmAndamento() {
    std::vector<TConexaoAberta> abertas;
    {
        const std::lock_guard<std::mutex> trava(g_mutexAbertas);
        for (const auto& [conexao, aberta] : g_abertas)
            abertas.push_back(aberta);
    }
    if (abertas.empty())
        return;
    const TConexaoAberta& modelo = abertas.front();
    MYSQL* m = mysql_init(nullptr);
    if (!m)
        return;
    const unsigned int segundos = 5;
    mysql_options(m, MYSQL_OPT_CONNECT_TIMEOUT, &segundos);
    mysql_options(m, MYSQL_OPT_READ_TIMEOUT, &segundos);
    mysql_options(m, MYSQL_OPT_WRITE_TIMEOUT, &segundos);
    const QByteArray servidor = modelo.servidor.toLatin1();
    const QByteArray usuario = modelo.usuario.toLatin1();
    const QByteArray senha = modelo.senha.toLatin1();
    if (mysql_real_connect(m, servidor.constData(), usuario.constData(), senha.constData(), nullptr,
                           static_cast<unsigned int>(modelo.porta), nullptr, 0)) {
        for (const TConexaoAberta& a : abertas) {
            const QByteArray kill =
                QByteArray("KILL QUERY ") + QByteArray::number(qulonglong(a.id));
            // A statement that ended meanwhile has nothing to kill: the answer does not matter.
            [[maybe_unused]] const int r =
                mysql_real_query(m, kill.constData(), static_cast<unsigned long>(kill.size()));
        }
    }
    mysql_close(m);
}

// ---- TConexao ----

TConexao::~TConexao() {
    Fechar();
}

void TConexao::Abrir() {
    if (m_mysql)
        return;
    if (!m_perda.isEmpty())
        throw EErro(m_perda);
    MYSQL* m = mysql_init(nullptr);
    if (!m)
        throw EErro(QStringLiteral("Sem memória para abrir a conexão"));
    // Names and texts travel as UTF-8: a table may be named in any script. One statement per
    // call, no reconnection behind the program's back, no local files.
    mysql_options(m, MYSQL_SET_CHARSET_NAME, "utf8mb4");
    const unsigned int naoLocal = 0;
    mysql_options(m, MYSQL_OPT_LOCAL_INFILE, &naoLocal);
    const my_bool semReconectar = 0;
    mysql_options(m, MYSQL_OPT_RECONNECT, &semReconectar);
    const QByteArray servidor = Servidor.toLatin1();
    const QByteArray usuario = Usuario.toLatin1();
    const QByteArray senha = Senha.toLatin1();
    const QByteArray banco = Banco.toUtf8();
    if (!mysql_real_connect(m, servidor.constData(), usuario.constData(), senha.constData(),
                            banco.isEmpty() ? nullptr : banco.constData(),
                            static_cast<unsigned int>(Porta), nullptr, CLIENT_MULTI_RESULTS)) {
        const QString erro = erroDe(m);
        mysql_close(m);
        throw EErro(erro);
    }
    m_mysql = m;
    {
        const std::lock_guard<std::mutex> trava(g_mutexAbertas);
        g_abertas[this] = {mysql_thread_id(m), Servidor, Usuario, Senha, Porta};
    }
    // A table another program holds locked is waited for a bounded time, then said (executar).
    // Double-quoted texts of the statements are texts, and a backslash in a text escapes as the
    // program reads it (a table's definition is checked before it runs), whatever the server's
    // sql_mode says.
    for (const QByteArray& ajuste :
         {QStringLiteral("SET SESSION lock_wait_timeout = %1").arg(EsperaPorTrava()).toLatin1(),
          QByteArray("SET SESSION sql_mode = TRIM(BOTH ',' FROM REPLACE(REPLACE(CONCAT(',', "
                     "@@SESSION.sql_mode, ','), ',ANSI_QUOTES,', ','), ',NO_BACKSLASH_ESCAPES,', "
                     "','))")}) {
        if (mysql_real_query(m, ajuste.constData(), static_cast<unsigned long>(ajuste.size())) !=
            0) {
            const QString erro = erroDe(m);
            Fechar();
            throw EErro(erro);
        }
    }
}

int& EsperaPorTrava() {
    static int segundos = 120;
    return segundos;
}

void TConexao::Fechar() {
    m_perda.clear();
    {
        const std::lock_guard<std::mutex> trava(g_mutexAbertas);
        g_abertas.erase(this);
    }
    if (m_mysql) {
        mysql_close(m_mysql);
        m_mysql = nullptr;
    }
}

void TConexao::MudarBanco(const QString& banco) {
    if (m_mysql) {
        const QByteArray b = banco.toUtf8();
        if (mysql_select_db(m_mysql, b.constData()) != 0) {
            const QString erro = erroDe(m_mysql);
            VerificarPerda();
            throw EErro(erro);
        }
    }
    Banco = banco;
}

st_mysql* TConexao::Handle() {
    Abrir();
    return m_mysql;
}

void TConexao::VerificarPerda() {
    if (!m_mysql)
        return;
    const unsigned int n = mysql_errno(m_mysql);
    if (n == CR_SERVER_GONE_ERROR || n == CR_SERVER_LOST || n == CR_CONNECTION_ERROR ||
        n == CR_CONN_HOST_ERROR) {
        // The run's named lock and its table locks went with the connection: the run cannot go
        // on as if nothing happened, so the connection stays lost until it is closed on purpose.
        const QString erro = erroDe(m_mysql);
        Fechar();
        m_perda = QStringLiteral("A conexão com o servidor de banco de dados foi perdida (%1); "
                                 "a operação foi interrompida e não continua em outra conexão.")
                      .arg(erro);
    }
}

// ---- TDM ----

TDM& DM() {
    static TDM dm;
    return dm;
}

void TDM::Conectar() {
    Configurar();
    Conexao.Abrir();
}

void TDM::Configurar() {
    lerConfiguracao(ArquivoDeConfiguracao(), QStringLiteral("ip"), 3306);
}

void TDM::lerConfiguracao(const QString& arquivo, const QString& secao, int porta) {
    const QString servidor =
        LerTextoIni(arquivo, secao, QStringLiteral("local"), QStringLiteral("localhost"));
    const QString banco =
        LerTextoIni(arquivo, secao, QStringLiteral("database"), QStringLiteral("gerente"));
    const QString usuario =
        LerTextoIni(arquivo, secao, QStringLiteral("usuario"), QStringLiteral("root"));
    const QString cifrada =
        LerTextoIni(arquivo, secao, QStringLiteral("senha"), SenhaPadraoCifrada());
    const QString senha = Descriptografar(cifrada, ChaveSenha());
    definirConexao(servidor, banco, usuario, senha, porta);
}

void TDM::AbrirConexao(const QString& servidor, const QString& banco, const QString& usuario,
                       const QString& senha, int porta) {
    definirConexao(servidor, banco, usuario, senha, porta);
    Conexao.Abrir();
}

void TDM::definirConexao(const QString& servidor, const QString& banco, const QString& usuario,
                         const QString& senha, int porta) {
    Conexao.Fechar();
    Conexao.Servidor = servidor;
    Conexao.Banco = banco;
    Conexao.Usuario = usuario;
    Conexao.Senha = senha;
    Conexao.Porta = porta;
}

void TDM::executar(const QString& sql) {
    st_mysql* m = Conexao.Handle();
    const QByteArray texto = sql.toUtf8();
    if (mysql_real_query(m, texto.constData(), static_cast<unsigned long>(texto.size())) != 0) {
        if (mysql_errno(m) == ER_LOCK_WAIT_TIMEOUT)
            throw EErro(QStringLiteral("Outro programa mantém travada uma tabela de que o comando "
                                       "\"%1\" precisa; o Marvek esperou %2 s. Feche o programa "
                                       "que usa a tabela e tente de novo.")
                            .arg(sql)
                            .arg(EsperaPorTrava()));
        const QString erro = erroDe(m);
        Conexao.VerificarPerda();
        throw EErro(erro);
    }
}

QVariant TDM::ConsultarValor(const QString& sql, const QVariant& padrao) {
    executar(sql);
    st_mysql* m = Conexao.Handle();
    MYSQL_RES* r = mysql_store_result(m);
    if (!r) {
        if (mysql_errno(m) != 0) {
            const QString erro = erroDe(m);
            Conexao.VerificarPerda();
            throw EErro(erro);
        }
        descartarResultados(m);
        return padrao;
    }
    TConsulta consulta(r);
    descartarResultados(m);
    if (consulta.Eof())
        return padrao;
    const QVariant v = consulta.Campo(0);
    return v.isValid() ? v : padrao;
}

qint64 TDM::ExecutarComando(const QString& sql) {
    executar(sql);
    st_mysql* m = Conexao.Handle();
    const my_ulonglong afetadas = mysql_affected_rows(m);
    descartarResultados(m);
    if (mysql_errno(m) != 0) {
        const QString erro = erroDe(m);
        Conexao.VerificarPerda();
        throw EErro(erro);
    }
    return afetadas == static_cast<my_ulonglong>(-1) ? 0 : static_cast<qint64>(afetadas);
}

std::unique_ptr<TConsulta> TDM::AbrirConsulta(const QString& sql) {
    executar(sql);
    st_mysql* m = Conexao.Handle();
    MYSQL_RES* r = mysql_store_result(m);
    if (!r && mysql_errno(m) != 0) {
        const QString erro = erroDe(m);
        Conexao.VerificarPerda();
        throw EErro(erro);
    }
    std::unique_ptr<TConsulta> consulta(new TConsulta(r));
    descartarResultados(m);
    return consulta;
}

std::optional<QVariant> TDM::TentarConsultarValor(const QString& sql, const QVariant& padrao) {
    try {
        return ConsultarValor(sql, padrao);
    } catch (const EErro&) {
        return std::nullopt;
    }
}

std::optional<qint64> TDM::TentarExecutarComando(const QString& sql) {
    try {
        return ExecutarComando(sql);
    } catch (const EErro&) {
        return std::nullopt;
    }
}

TTravaTabelas::TTravaTabelas(TDM& dm, const QString& comando) : m_dm(dm) {
    m_dm.ExecutarComando(comando);
}

TTravaTabelas::~TTravaTabelas() {
    if (m_presa)
        m_dm.TentarExecutarComando(QStringLiteral("UNLOCK TABLES"));
}

void TTravaTabelas::Liberar() {
    m_presa = false;
    m_dm.ExecutarComando(QStringLiteral("UNLOCK TABLES"));
}

TBancoRascunho::TBancoRascunho(TDM& dm, const QString& nome) : m_dm(dm), m_nome(nome) {
    m_dm.ExecutarComando(QStringLiteral("CREATE DATABASE ") + CitarIdentificador(m_nome));
}

TBancoRascunho::~TBancoRascunho() {
    if (m_existe)
        m_dm.TentarExecutarComando(QStringLiteral("DROP DATABASE IF EXISTS ") +
                                   CitarIdentificador(m_nome));
}

void TBancoRascunho::Remover() {
    m_existe = false;
    m_dm.ExecutarComando(QStringLiteral("DROP DATABASE ") + CitarIdentificador(m_nome));
}

QString TDM::PastaDeDados() {
    return ComBarra(ConsultarValor(QStringLiteral("SELECT @@datadir"), QString()).toString());
}

QString TDM::BancoAtual() {
    return ConsultarValor(QStringLiteral("SELECT DATABASE()"), QString()).toString();
}

} // namespace marvek

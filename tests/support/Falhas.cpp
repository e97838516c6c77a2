#include "support/Falhas.h"

#include "data/TDM.h"
#include "support/BancoTeste.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <csignal>
#include <stdexcept>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace teste {

// ---- TServidorProprio ----

TServidorProprio::TServidorProprio(QString pasta) : m_pasta(std::move(pasta)) {}

void TServidorProprio::executar(const QString& acao) {
    const QString fontes = qEnvironmentVariable("MARVEK_FONTES");
    if (fontes.isEmpty())
        throw std::runtime_error("MARVEK_FONTES is not set");
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("bash"),
            {fontes + QStringLiteral("/scripts/servidor-mariadb.sh"), acao, m_pasta});
    if (!p.waitForFinished(180000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw std::runtime_error(
            ("servidor-mariadb.sh " + acao + " failed: " + QString::fromLocal8Bit(p.readAll()))
                .toStdString());
}

void TServidorProprio::Iniciar() {
    qputenv("MYSQL_UNIX_PORT", Socket().toLocal8Bit());
    executar(QStringLiteral("iniciar"));
    // The helpers' own connection may have seen the server go; it connects again on demand.
    Admin().Conexao.Fechar();
}

void TServidorProprio::Parar() {
    executar(QStringLiteral("parar"));
}

// ---- TOperadorFalha ----

void TOperadorFalha::ProcessarMensagens() {
    TOperadorGravador::ProcessarMensagens();
    if (m_armado && AoProcessar)
        AoProcessar(++m_chamadas);
}

// ---- TDiscoPequeno ----

TDiscoPequeno::TDiscoPequeno(const QString& pasta, qint64 tamanho, bool somenteLeitura)
    : m_pasta(pasta) {
    QDir().mkpath(pasta);
    const QByteArray opcoes =
        QByteArray("size=") + QByteArray::number(tamanho) + (somenteLeitura ? ",ro" : "");
    m_montado =
        ::mount("tmpfs", QFile::encodeName(pasta).constData(), "tmpfs", 0, opcoes.constData()) == 0;
}

TDiscoPequeno::~TDiscoPequeno() {
    if (m_montado)
        ::umount2(QFile::encodeName(m_pasta).constData(), MNT_DETACH);
}

// ---- TLimiteArquivo ----

TLimiteArquivo::TLimiteArquivo(qint64 bytes) {
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit r{};
    ::getrlimit(RLIMIT_FSIZE, &r);
    m_anterior = r.rlim_cur;
    r.rlim_cur = static_cast<rlim_t>(bytes);
    ::setrlimit(RLIMIT_FSIZE, &r);
}

TLimiteArquivo::~TLimiteArquivo() {
    rlimit r{};
    ::getrlimit(RLIMIT_FSIZE, &r);
    r.rlim_cur = static_cast<rlim_t>(m_anterior);
    ::setrlimit(RLIMIT_FSIZE, &r);
}

// ---- checks ----

QMap<QString, QString> Somas(const QString& banco) {
    QMap<QString, QString> r;
    for (const QString& t : Linhas("SHOW TABLES FROM " + marvek::CitarIdentificador(banco)))
        r.insert(t, Checksum(banco, t));
    return r;
}

QStringList TabelasPerdidas(const QString& banco, const QMap<QString, QString>& antes) {
    QStringList bancos = {banco};
    for (const QString& b : Linhas("SHOW DATABASES"))
        if (b.startsWith(banco + "_Backup_"))
            bancos << b;
    QStringList problemas;
    for (auto i = antes.begin(); i != antes.end(); ++i) {
        QStringList encontradas; // where the table is, but not as it was
        bool achada = false;
        for (const QString& b : bancos) {
            if (Linhas("SHOW TABLES FROM " + marvek::CitarIdentificador(b) + " LIKE '" + i.key() +
                       "'")
                    .isEmpty())
                continue;
            const QString alvo =
                marvek::CitarIdentificador(b) + "." + marvek::CitarIdentificador(i.key());
            const QString check = Linhas("CHECK TABLE " + alvo).last().section('|', 3);
            const QString soma = Checksum(b, i.key());
            if (soma == i.value() && check == "OK") {
                achada = true;
                break;
            }
            encontradas << QStringLiteral("%1.%2: checksum %3 (antes %4), CHECK TABLE %5")
                               .arg(b, i.key(), soma, i.value(), check);
        }
        if (!achada)
            problemas << (encontradas.isEmpty() ? QStringList{QStringLiteral("%1: não está em %2")
                                                                  .arg(i.key(), bancos.join(", "))}
                                                : encontradas);
    }
    return problemas;
}

void CopiarBanco(const QString& de, const QString& para) {
    RecriarBanco(para);
    for (const QString& t : Linhas("SHOW TABLES FROM " + de)) {
        Sql("CREATE TABLE " + para + "." + t + " LIKE " + de + "." + t);
        Sql("INSERT INTO " + para + "." + t + " SELECT * FROM " + de + "." + t);
    }
}

QStringList ArvoreDePasta(const QString& pasta) {
    QStringList r;
    QDirIterator it(pasta, QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                    QDirIterator::Subdirectories);
    const QDir base(pasta);
    while (it.hasNext())
        r << base.relativeFilePath(it.next());
    r.sort();
    return r;
}

bool ErroDeConexao(const QString& texto) {
    for (const char* s : {"Lost connection", "server has gone away", "Can't connect",
                          "Server shutdown in progress", "Connection was killed"})
        if (texto.contains(QLatin1String(s), Qt::CaseInsensitive))
            return true;
    return false;
}

QByteArray LerArquivo(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void GravarArquivo(const QString& arquivo, const QByteArray& dados) {
    QDir().mkpath(QFileInfo(arquivo).absolutePath());
    QFile f(arquivo);
    if (f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        f.write(dados);
}

} // namespace teste

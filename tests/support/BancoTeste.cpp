#include "support/BancoTeste.h"

#include <QDir>
#include <QFile>
#include <stdexcept>

using namespace marvek;

namespace teste {

QString SocketServidor() {
    return qEnvironmentVariable("MYSQL_UNIX_PORT");
}

TDM& Admin() {
    static TDM* dm = [] {
        if (SocketServidor().isEmpty())
            throw std::runtime_error("MYSQL_UNIX_PORT is not set: the test server fixture did "
                                     "not run");
        auto* d = new TDM;
        d->AbrirConexao(QStringLiteral("localhost"), QString(), QStringLiteral("root"), QString(),
                        3306);
        return d;
    }();
    return *dm;
}

void Sql(const QString& sql) {
    Admin().ExecutarComando(sql);
}

QStringList Linhas(const QString& sql) {
    auto c = Admin().AbrirConsulta(sql);
    QStringList linhas;
    for (; !c->Eof(); c->Proximo()) {
        QStringList campos;
        for (int i = 0; i < c->NumeroCampos(); ++i) {
            const QVariant v = c->Campo(i);
            campos << (v.isValid() ? v.toString() : QStringLiteral("NULL"));
        }
        linhas << campos.join(QLatin1Char('|'));
    }
    return linhas;
}

QString Valor(const QString& sql) {
    const QVariant v = Admin().ConsultarValor(sql, QVariant());
    return v.isValid() ? v.toString() : QStringLiteral("NULL");
}

void RecriarBanco(const QString& nome) {
    Sql(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(CitarIdentificador(nome)));
    Sql(QStringLiteral("CREATE DATABASE %1").arg(CitarIdentificador(nome)));
}

void ApagarBancos(const QString& prefixo) {
    const QStringList bancos = Linhas(QStringLiteral("SHOW DATABASES"));
    for (const QString& b : bancos)
        if (b.startsWith(prefixo))
            Sql(QStringLiteral("DROP DATABASE %1").arg(CitarIdentificador(b)));
}

void EscreverIni(const QString& pasta, const QString& banco, const QString& codFisica) {
    QFile f(QDir(pasta).filePath(QStringLiteral("sistema_qel.ini")));
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw std::runtime_error("cannot write sistema_qel.ini");
    QByteArray dados = "[ip]\r\nlocal=localhost\r\ndatabase=" + banco.toLatin1() +
                       "\r\nusuario=root\r\nsenha=\r\n";
    if (!codFisica.isEmpty())
        dados += "[FilialMatriz]\r\nCodFisica=" + codFisica.toLatin1() + "\r\n";
    f.write(dados);
}

QString Checksum(const QString& banco, const QString& tabela) {
    const QStringList l = Linhas(QStringLiteral("CHECKSUM TABLE %1.%2")
                                     .arg(CitarIdentificador(banco), CitarIdentificador(tabela)));
    return l.isEmpty() ? QString() : l.first().section(QLatin1Char('|'), 1);
}

} // namespace teste

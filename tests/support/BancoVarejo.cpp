#include "support/BancoVarejo.h"

#include "backup/Backup.h"
#include "data/TDM.h"
#include "restore/LimparOutrasFiliais.h"
#include "support/BancoTeste.h"
#include "support/TOperadorGravador.h"
#include "zip/MotorZip.h"

#include <QFile>
#include <algorithm>

namespace teste {

QString ArquivoCentral(TOperadorGravador& op, const QString& banco, int filial,
                       const QString& pasta) {
    marvek::TDM dm;
    dm.AbrirConexao("localhost", banco, "root", "", 3306);
    op.Filial = QString::number(filial);
    op.Pasta = pasta;
    op.Resultado = marvek::RealizarBackup(op, dm);
    const QString zip = pasta + "/Backup_Central.zip";
    return QFile::exists(zip) ? zip : QString();
}

QString ArquivoCentral(const QString& banco, const QList<TFilialTeste>& filiais, int filial,
                       const QString& pasta) {
    CriarBancoVarejo(banco, filiais);
    TOperadorGravador op(pasta + ".log");
    const QString zip = ArquivoCentral(op, banco, filial, pasta);
    if (zip.isEmpty())
        qFatal("the central archive was not written: %s", qPrintable(op.Mostrados.join('\n')));
    return zip;
}

QMap<QString, QString> MisturarMotores(const QString& banco) {
    QMap<QString, QString> motores;
    const QStringList tabelas = Linhas("SHOW TABLES FROM " + marvek::CitarIdentificador(banco));
    for (qsizetype i = 0; i < tabelas.size(); ++i) {
        const QString& t = tabelas[i];
        const QString motor = t == "filial" || t == "movment" ? "InnoDB"
                              : t == "caixa"                  ? "Aria"
                              : i % 3 == 1                    ? "InnoDB"
                              : i % 3 == 2                    ? "Aria"
                                                              : "MyISAM";
        const QString opcoes =
            motor == "Aria" ? (i % 2 ? " TRANSACTIONAL=1" : " TRANSACTIONAL=0") : QString();
        Sql("ALTER TABLE " + marvek::CitarIdentificador(banco) + "." +
            marvek::CitarIdentificador(t) + " ENGINE=" + motor + opcoes);
        motores.insert(t, motor);
    }
    return motores;
}

QStringList TabelasDaLimpeza() {
    return {"movment", "entradas", "pedidos", "curvaabc", "pagar", "pagamentos"};
}

void CriarBancoVarejo(const QString& banco, const QList<TFilialTeste>& filiais) {
    RecriarBanco(banco);
    const QString b = marvek::CitarIdentificador(banco) + ".";
    Sql("CREATE TABLE " + b +
        "filial (filial_id INT PRIMARY KEY, nome VARCHAR(40), apagado CHAR(1), "
        "escritorio CHAR(1), versao VARCHAR(12), lojas_leram VARCHAR(60)) ENGINE=MyISAM");
    for (const TFilialTeste& f : filiais) {
        const QString esc = f.escritorio == "NULL" ? "NULL" : "'" + f.escritorio + "'";
        Sql(QStringLiteral("INSERT INTO %1filial VALUES (%2, 'Filial %2', '%3', %4, '000', '*')")
                .arg(b)
                .arg(f.id)
                .arg(f.apagado, esc));
    }
    Sql("CREATE TABLE " + b +
        "caixa (caixa_id INT AUTO_INCREMENT PRIMARY KEY, filial_id INT, valor DECIMAL(10,2), "
        "lojas_leram VARCHAR(60), KEY ix_filial (filial_id)) ENGINE=MyISAM");
    Sql("INSERT INTO " + b +
        "caixa (filial_id, valor, lojas_leram) VALUES (1, 10, '*'), (2, 20, '2A'), (3, 30, NULL), "
        "(3, 31, ''), (4, 40, 'AC')");
    Sql("CREATE TABLE " + b +
        "cidades (cidade_id INT PRIMARY KEY, nome VARCHAR(40)) ENGINE=MyISAM");
    Sql("INSERT INTO " + b + QString::fromUtf8("cidades VALUES (1, 'Curitiba'), (2, 'São Paulo')"));
    for (const QString& t : TabelasDaLimpeza()) {
        Sql("CREATE TABLE " + b + t +
            " (id INT AUTO_INCREMENT PRIMARY KEY, filial_id INT, lojas_leram VARCHAR(60)) "
            "ENGINE=MyISAM");
        Sql("INSERT INTO " + b + t +
            " (filial_id, lojas_leram) VALUES (1,'*'),(2,''),(3,NULL),(3,'3')");
    }
    for (const QString& t : marvek::ListaTabelasPAF()) {
        Sql("CREATE TABLE " + b + t + " (id INT, texto VARCHAR(20)) ENGINE=MyISAM");
        Sql("INSERT INTO " + b + t + " VALUES (1,'a'),(2,'b')");
    }
    Sql("CREATE TABLE " + b + "nlanc (nlanc_id INT) ENGINE=MyISAM");
    Sql("INSERT INTO " + b + "nlanc VALUES (55),(56)");
    Sql("CREATE TABLE " + b + "numlanc (numero INT) ENGINE=MyISAM");
    Sql("INSERT INTO " + b + "numlanc VALUES (7)");
}

QStringList EntradasDoZip(const QString& arquivo) {
    QStringList nomes;
    for (const marvek::TEntradaZip& e : marvek::ListarEntradas(arquivo))
        nomes << e.nome;
    std::sort(nomes.begin(), nomes.end());
    return nomes;
}

} // namespace teste

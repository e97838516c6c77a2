#include "base/EErro.h"
#include "base/Pastas.h"
#include "data/Instalacao.h"
#include "data/TDM.h"
#include "restore/LimparOutrasFiliais.h"
#include "support/BancoTeste.h"
#include "support/BancoVarejo.h"
#include "support/TOperadorGravador.h"

#include <QTemporaryDir>
#include <QtTest>

using namespace marvek;
using teste::TOperadorGravador;

class TstLimpeza : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;

    std::unique_ptr<TDM> conectar(const QString& banco) {
        auto dm = std::make_unique<TDM>();
        dm->AbrirConexao("localhost", banco, "root", "", 3306);
        return dm;
    }
    QString query() const { return m_dir.filePath("query.txt"); }

private slots:
    void initTestCase() { DefinirPastaDoPrograma(m_dir.path()); }

    void queryTxtByteAByte() {
        QCOMPARE(GerarQueryTxt(), query());
        QFile f(query());
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray dados = f.readAll();
        QCOMPARE(dados.size(), 1283);
        QVERIFY(dados.startsWith("movment\r\nentradas\r\npagar\r\n"));
        QVERIFY(dados.endsWith("notas_fiscais_ped\r\norcament"));
        QCOMPARE(dados.count("\r\n"), 85);
        QCOMPARE(dados.count('\n'), 85);
        QCOMPARE(ListaTabelasPAF().size(), 19);
    }

    void codigoDaFilial() {
        TOperadorGravador op;
        for (const QString& valor : {QString("0"), QString("abc"), QString("")}) {
            teste::EscreverIni(m_dir.path(), "x", valor.isEmpty() ? QString() : valor);
            try {
                LerCodFisica();
                QFAIL("no error");
            } catch (const EErro& e) {
                QCOMPARE(e.Mensagem(),
                         QString::fromUtf8("Filial inválida, verifique o arquivo sistema_qel.ini"));
            }
        }
        teste::EscreverIni(m_dir.path(), "x", "7");
        QCOMPARE(ObterCodFilial(op, LerCodFisica()), QString("7"));
        QCOMPARE(op.LinhasLog(), QStringList({"Obter Cod. Filial: 7"}));
    }

    void semLoginDeManutencao() {
        teste::CriarBancoVarejo("lp_padrao", {{1, "S"}, {3, "N"}});
        auto dm = conectar("lp_padrao");
        TOperadorGravador op;
        LimparOutrasFiliais(op, *dm, "3", op.Entradas().opcoes);
        for (const QString& t : teste::TabelasDaLimpeza())
            QCOMPARE(teste::Linhas("select distinct filial_id from lp_padrao." + t),
                     QStringList({"3"}));
        QStringList esperado;
        for (const QString& t : ListaTabelasPAF()) {
            esperado << "Truncate na tabela " + t;
            QCOMPARE(teste::Valor("select count(*) from lp_padrao." + t), QString("0"));
        }
        QCOMPARE(op.LinhasLog(), esperado);
        QCOMPARE(op.Mostrados, QStringList());
        QVERIFY(!QFile::exists(query())); // written and deleted again
        // the run worked on its own copy of the options: the face's are not written to
        QCOMPARE(op.Opcoes->ArquivoTruncates(), QString());
        QCOMPARE(teste::Valor("select count(*) from lp_padrao.nlanc"), QString("2"));
    }

    void opcoesCanceladas() {
        teste::CriarBancoVarejo("lp_nenhuma", {{3, "N"}});
        auto dm = conectar("lp_nenhuma");
        TOperadorGravador op;
        op.SemOpcoes = true;
        QFile::remove(query());
        LimparOutrasFiliais(op, *dm, "3", op.Entradas().opcoes);
        QCOMPARE(op.LinhasLog().size(), 19);
        QVERIFY(!QFile::exists(query()));
    }

    void todasAsOpcoes() {
        teste::CriarBancoVarejo("lp_todas", {{3, "N"}});
        auto dm = conectar("lp_todas");
        TOperadorGravador op;
        op.Opcoes->SetExecutarTruncates(true);
        op.Opcoes->SetExecutarDeletes(true);
        op.Opcoes->SetZerarNumlanc(true);
        LimparOutrasFiliais(op, *dm, "3", op.Entradas().opcoes);
        const QStringList log = op.LinhasLog();
        // the PAF tables, then the 86 listed names (most do not exist here), then the numbering
        QCOMPARE(log.mid(0, 19).first(), QString("Truncate na tabela paf_req25_r01"));
        QCOMPARE(log.at(19), QString("Truncate na tabela movment"));
        QCOMPARE(log.at(23), QString("Erro ao efetuar truncate na tabela nota_fiscal Erro : Table "
                                     "'lp_todas.nota_fiscal' doesn't exist"));
        QCOMPARE(log.at(19 + 85),
                 QString("Erro ao efetuar truncate na tabela orcament Erro : Table "
                         "'lp_todas.orcament' doesn't exist"));
        QCOMPARE(op.Mostrados,
                 QStringList({QString::fromUtf8("Confirmar[Confirmação...|Sim]: Deseja realmente "
                                                "utilizar o comando de delete pelo arquivo?")}));
        // the deletes ran on tables already empty: tables with filial_id are logged
        QVERIFY(log.contains("Delete na tabela movment"));
        QVERIFY(!log.contains("Delete na tabela nota_fiscal"));
        QCOMPARE(log.mid(log.size() - 2), QStringList({"Truncate numlanc", "Truncate nlanc"}));
        QCOMPARE(teste::Linhas("select nlanc_id from lp_todas.nlanc"), QStringList({"1"}));
        QCOMPARE(teste::Valor("select count(*) from lp_todas.numlanc"), QString("0"));
        QVERIFY(!QFile::exists(query()));
    }

    void perguntaRespondidaNaoESemNumlanc() {
        teste::CriarBancoVarejo("lp_nao", {{3, "N"}});
        teste::Sql("DROP TABLE lp_nao.numlanc");
        auto dm = conectar("lp_nao");
        TOperadorGravador op;
        op.Opcoes->SetExecutarDeletes(true);
        op.Opcoes->SetZerarNumlanc(true);
        op.Respostas = {false};
        LimparOutrasFiliais(op, *dm, "3", op.Entradas().opcoes);
        const QStringList log = op.LinhasLog();
        QCOMPARE(log.size(), 19 + 1);
        QCOMPARE(log.last(), QString("Truncate nlanc"));
        QCOMPARE(op.Mostrados.size(), 1); // the question only, no error
        QCOMPARE(teste::Linhas("select nlanc_id from lp_nao.nlanc"), QStringList({"1"}));
    }

    void tabelaFixaQueFalta() {
        teste::CriarBancoVarejo("lp_pedidos", {{3, "N"}});
        teste::Sql("DROP TABLE lp_pedidos.pedidos");
        auto dm = conectar("lp_pedidos");
        TOperadorGravador op;
        LimparOutrasFiliais(op, *dm, "3", op.Entradas().opcoes);
        QCOMPARE(op.Mostrados, QStringList({"ErroPadrao: Ocorreu o seguinte erro:\rTable "
                                            "'lp_pedidos.pedidos' doesn't exist"}));
        QCOMPARE(teste::Linhas("select distinct filial_id from lp_pedidos.entradas"),
                 QStringList({"3"}));
        QCOMPARE(teste::Valor("select count(*) from lp_pedidos.curvaabc"), QString("4"));
        QCOMPARE(teste::Valor("select count(*) from lp_pedidos.paf_req25_r01"), QString("2"));
        QCOMPARE(op.LinhasLog(), QStringList());
    }

    void falhaDoLogNoPaf() {
        teste::CriarBancoVarejo("lp_log", {{3, "N"}});
        auto dm = conectar("lp_log");
        TOperadorGravador op(m_dir.filePath("nao/existe/LOG_MARVEK.txt"));
        LimparOutrasFiliais(op, *dm, "3", op.Entradas().opcoes);
        QCOMPARE(op.Mostrados,
                 QStringList({"MostrarErro: Erro ao efetuar truncate nas tabelas do PAF",
                              "ErroPadrao: Ocorreu o seguinte erro:\rOperation aborted"}));
    }
};

QTEST_GUILESS_MAIN(TstLimpeza)
#include "tst_limpeza.moc"

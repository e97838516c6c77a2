// Hostile and damaged input: archives that try to write outside their folder or to reach SQL,
// broken archives, garbage settings files, odd passwords, odd destination folders and branch
// ids at the end of the marker range. Every one ends in a clear error or in a sound result.
#include "backup/Backup.h"
#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/Pastas.h"
#include "data/ArquivoIni.h"
#include "data/Criptografia.h"
#include "data/TDM.h"
#include "markers/LojasLeram.h"
#include "plataforma/Plataforma.h"
#include "restore/Restauracao.h"
#include "restore/Reversao.h"
#include "restore/VerificacaoArquivo.h"
#include "support/Compactar.h"
#include "support/BancoTeste.h"
#include "support/BancoVarejo.h"
#include "support/Falhas.h"
#include "zip/MotorZip.h"

#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <zip.h>

using namespace marvek;
using teste::TOperadorFalha;
using teste::TOperadorGravador;

namespace {
QByteArray ler(const QString& arquivo) {
    return teste::LerArquivo(arquivo);
}

void gravar(const QString& arquivo, const QByteArray& dados) {
    teste::GravarArquivo(arquivo, dados);
}

// An archive written with the library directly: entry name -> content; with unixModo set, the
// entry carries those Unix mode bits (a symbolic link, a device...).
struct TEntradaHostil {
    QByteArray nome;
    QByteArray dados = "conteudo";
    quint32 unixModo = 0;
};
void zipHostil(const QString& arquivo, const QList<TEntradaHostil>& entradas) {
    QDir().mkpath(QFileInfo(arquivo).absolutePath());
    int erro = 0;
    zip_t* z = zip_open(QFile::encodeName(arquivo).constData(), ZIP_CREATE | ZIP_TRUNCATE, &erro);
    QVERIFY(z);
    QList<QByteArray> guardados; // the buffers must live until zip_close
    for (const TEntradaHostil& e : entradas) {
        guardados << e.dados;
        zip_source_t* s = zip_source_buffer(z, guardados.last().constData(),
                                            static_cast<zip_uint64_t>(guardados.last().size()), 0);
        const zip_int64_t i = zip_file_add(z, e.nome.constData(), s, ZIP_FL_ENC_RAW);
        QVERIFY2(i >= 0, e.nome.constData());
        if (e.unixModo)
            zip_file_set_external_attributes(z, static_cast<zip_uint64_t>(i), 0, ZIP_OPSYS_UNIX,
                                             e.unixModo << 16);
    }
    QCOMPARE(zip_close(z), 0);
}

// Replaces every occurrence of a name in the archive's bytes (local headers and the central
// directory), for names the library refuses to write twice.
void trocarNome(const QString& arquivo, const QByteArray& de, const QByteArray& para) {
    QByteArray dados = ler(arquivo);
    QCOMPARE(de.size(), para.size());
    dados.replace(de, para);
    gravar(arquivo, dados);
}
} // namespace

class TstConfiabilidadeEntrada : public QObject {
    Q_OBJECT
    QTemporaryDir m_dir;
    QString m_zip; // a sound archive of ce_central for branch 3
    QMap<QString, QString> m_antes;
    int m_hostis = 0;

    std::unique_ptr<TOperadorGravador> restaurar(const QString& arquivo,
                                                 const QString& banco = "ce_loja",
                                                 const QString& codFisica = "3") {
        teste::EscreverIni(m_dir.path(), banco, codFisica);
        auto dm = std::make_unique<TDM>();
        dm->Conexao.Usuario = "root";
        dm->Conexao.Banco = banco;
        auto op = std::make_unique<TOperadorGravador>(m_dir.filePath("LOG_loja.txt"));
        op->Backup = false;
        op->ArquivoZip = arquivo;
        op->Resultado = ExecutarRestauracao(*op, *dm);
        return op;
    }

    // A backup of ce_central for branch 3 into the folder, on a connection of its own.
    std::unique_ptr<TOperadorGravador> backup(const QString& destino, const QString& banco,
                                              TOperadorGravador* op = nullptr) {
        auto proprio = std::make_unique<TOperadorGravador>(m_dir.filePath("LOG_bk.txt"));
        TOperadorGravador& o = op ? *op : *proprio;
        TDM dm;
        dm.AbrirConexao("localhost", banco, "root", "", 3306);
        o.Filial = "3";
        o.Pasta = destino;
        RealizarBackup(o, dm);
        return proprio;
    }

    // Refused with the text, the installation unchanged and no aside database.
    void recusou(const TOperadorGravador& op, const QString& texto,
                 QMap<QString, QString> antes = {}) {
        if (antes.isEmpty())
            antes = m_antes;
        QVERIFY2(op.Mostrados.size() == 1 && op.Mostrados.first().startsWith("ErroPadrao: ") &&
                     op.Mostrados.first().contains(texto),
                 qPrintable(texto + " / " + op.Mostrados.join(" / ")));
        QCOMPARE(teste::Linhas("SHOW DATABASES LIKE 'ce\\_loja\\_Backup\\_%'"), QStringList());
        QCOMPARE(teste::Somas("ce_loja"), antes);
        QVERIFY(!op.Resultado.alterou); // what the history and --json say
    }

    // The restore of a hostile archive stops before anything is touched: one error naming the
    // archive, no SQL (the log holds the validation's start only), no aside database, the
    // installation unchanged, nothing written beside the archive nor outside.
    void recusada(const QString& arquivo, const QString& motivo) {
        ++m_hostis;
        const QString pasta = QFileInfo(arquivo).absolutePath();
        const QStringList arvoreAntes = teste::ArvoreDePasta(pasta);
        const QStringList foraAntes = teste::ArvoreDePasta(m_dir.filePath("fora"));
        auto op = restaurar(arquivo);
        QCOMPARE(op->Mostrados.size(), 1);
        QVERIFY2(op->Mostrados.first().startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r") &&
                     op->Mostrados.first().contains(arquivo) &&
                     op->Mostrados.first().contains(motivo),
                 qPrintable(op->Mostrados.first()));
        QCOMPARE(op->LinhasLog(),
                 QStringList({"Inicio Restore", "Inicio Validacao", "Fim Restore"}));
        QCOMPARE(teste::ArvoreDePasta(pasta), arvoreAntes);
        QCOMPARE(teste::ArvoreDePasta(m_dir.filePath("fora")), foraAntes);
        QCOMPARE(teste::Linhas("SHOW DATABASES LIKE 'ce\\_loja\\_Backup\\_%'"), QStringList());
        QCOMPARE(teste::Somas("ce_loja"), m_antes);
        // the archive check alone refuses it too
        bool recusou = false;
        try {
            VerificarArquivoBackup(arquivo, true);
        } catch (const EErro&) {
            recusou = true;
        }
        QVERIFY(recusou);
    }

private slots:
    void initTestCase() {
        DefinirPastaDoPrograma(m_dir.path());
        QDir().mkpath(m_dir.filePath("fora"));
        m_zip = teste::ArquivoCentral("ce_central", {{1, "S"}, {2, "N"}, {3, "N"}}, 3,
                                      m_dir.filePath("central"));
        teste::CriarBancoVarejo("ce_loja", {{1, "S"}, {3, "N"}});
        m_antes = teste::Somas("ce_loja");
    }

    void cleanupTestCase() { qInfo("hostile archives tried: %d", m_hostis); }

    void nomesQueSaemDaPasta() {
        const QByteArray frm = ler(m_dir.filePath("central/Temp_Backup/../Backup_Central.zip"));
        Q_UNUSED(frm);
        const QList<QPair<QByteArray, QString>> nomes = {
            {"../fora/filial.frm", "não é um nome simples"},
            {"../../fora.MYD", "não é um nome simples"},
            {"sub/filial.frm", "não é um nome simples"},
            {QFile::encodeName(m_dir.filePath("fora/abs.frm")), "não é um nome simples"},
            {"/etc/marvek.frm", "não é um nome simples"},
            {"..\\fora\\filial.frm", "não é um nome simples"},
            {"C:\\Windows\\x.frm", "não é um nome simples"},
            {"C:x.frm", "não é um nome simples"},
            {"..", "não é um nome simples"},
            {"caixa.frm\n", "não é um nome simples"},
            {"", "não é um nome simples"},
        };
        int n = 0;
        for (const auto& [nome, motivo] : nomes) {
            const QString arquivo = m_dir.filePath(QString("h%1/Backup_Central.zip").arg(n++));
            zipHostil(arquivo, {{"filial.frm"}, {"filial.MYD"}, {nome}});
            recusada(arquivo, motivo);
        }
    }

    void entradasQueNaoSaoArquivos() {
        const QString link = m_dir.filePath("link/Backup_Central.zip");
        zipHostil(link, {{"filial.frm"}, {"filial.MYD", "/etc/passwd", 0120777u}});
        recusada(link, "link simbólico");
        const QString dev = m_dir.filePath("dev/Backup_Central.zip");
        zipHostil(dev, {{"filial.frm"}, {"filial.MYD", "", 0020666u}});
        recusada(dev, "não é um arquivo comum");
        const QString pasta = m_dir.filePath("pasta/Backup_Central.zip");
        zipHostil(pasta, {{"filial.frm"}, {"filial.MYD"}, {"caixa/", ""}});
        recusada(pasta, "não é um nome simples");
    }

    void nomesRepetidos() {
        const QString igual = m_dir.filePath("rep/Backup_Central.zip");
        zipHostil(igual,
                  {{"filial.frm"}, {"filial.MYD"}, {"caixa.frm"}, {"caixb.frm"}, {"caixa.MYD"}});
        trocarNome(igual, "caixb.frm", "caixa.frm");
        // refused by the library itself when it opens the archive
        recusada(igual, "não é um arquivo ZIP válido");
        const QString caixa = m_dir.filePath("repcaixa/Backup_Central.zip");
        zipHostil(caixa,
                  {{"filial.frm"}, {"filial.MYD"}, {"caixa.frm"}, {"CAIXA.frm"}, {"caixa.MYD"}});
        recusada(caixa, "repetida");
    }

    void nomesQueNaoSaoIdentificadores() {
        int n = 0;
        for (const QByteArray& nome : QList<QByteArray>{
                 "caixa;DROP DATABASE ce_loja.frm", "ca ixa.frm", "caixa`.frm", "caixa'.frm",
                 "caixa\".frm", "ca-ixa.frm", "caixa\xe7.frm", "cai\xc3\xa7\xc3\xa3o.frm",
                 "caixa.f r", ".frm", "a.b.frm", QByteArray(70, 'x') + ".frm", "caixa.frm\x01"}) {
            const QString arquivo = m_dir.filePath(QString("id%1/Backup_Central.zip").arg(n++));
            zipHostil(arquivo, {{"filial.frm"}, {"filial.MYD"}, {nome}});
            recusada(arquivo, "entrada");
        }
        const QString metade = m_dir.filePath("metade/Backup_Central.zip");
        zipHostil(metade, {{"filial.frm"}, {"filial.MYD"}, {"caixa.frm"}});
        recusada(metade, "não contém todos os arquivos da tabela caixa (MyISAM): faltam caixa.MYD");
        const QString semFilial = m_dir.filePath("semfilial/Backup_Central.zip");
        zipHostil(semFilial, {{"caixa.frm"}, {"caixa.MYD"}});
        recusada(semFilial, "não contém a tabela filial");
        const QString vazio = m_dir.filePath("vazio/Backup_Central.zip");
        QDir().mkpath(m_dir.filePath("vazio"));
        CompactarArquivos(vazio, {});
        recusada(vazio, "não contém a tabela filial");
    }

    void arquivosDanificados() {
        const QByteArray bom = ler(m_zip);
        QVERIFY(bom.size() > 1000);
        // cut at many points: every one is refused, none crashes
        int n = 0;
        for (qsizetype corte :
             {qsizetype(0), qsizetype(1), qsizetype(4), qsizetype(30), qsizetype(100),
              bom.size() / 3, bom.size() / 2, bom.size() - 200, bom.size() - 22, bom.size() - 1}) {
            const QString arquivo = m_dir.filePath(QString("corte%1/Backup_Central.zip").arg(n++));
            gravar(arquivo, bom.left(corte));
            recusada(arquivo, "O arquivo");
        }
        // a flipped byte inside compressed data of every entry in turn: CRC or inflate error
        const QList<TEntradaZip> entradas = ListarEntradas(m_zip);
        qsizetype pos = 0;
        for (int i = 0; i < 6 && i < entradas.size(); ++i) {
            pos = bom.indexOf(entradas[i].nome.toLatin1(), pos) + entradas[i].nome.size();
            if (entradas[i].comprimido < 4)
                continue;
            QByteArray ruim = bom;
            const qsizetype alvo = pos + static_cast<qsizetype>(entradas[i].comprimido) / 2;
            ruim[alvo] = static_cast<char>(ruim[alvo] ^ 0x55);
            const QString arquivo = m_dir.filePath(QString("crc%1/Backup_Central.zip").arg(i));
            gravar(arquivo, ruim);
            recusada(arquivo, "danificado");
        }
        // not a ZIP at all
        const QByteArray lixo[] = {QByteArray(), QByteArray("PK\x03\x04"), QByteArray(5000, 'x'),
                                   QByteArray("PK\x05\x06") + QByteArray(18, '\xff')};
        n = 0;
        for (const QByteArray& l : lixo) {
            const QString arquivo = m_dir.filePath(QString("lixo%1/Backup_Central.zip").arg(n++));
            gravar(arquivo, l);
            recusada(arquivo, "O arquivo");
        }
    }

    // An entry whose declared size is enormous: refused before anything is extracted when the
    // free space does not hold it.
    void tamanhoDeclaradoEnorme() {
        const QString pasta = m_dir.filePath("enorme");
        teste::TDiscoPequeno disco(pasta, 16 << 20);
        if (!disco.Montado())
            QSKIP("this process cannot mount a tmpfs of known size");
        const QString arquivo = pasta + "/Backup_Central.zip";
        zipHostil(arquivo, {{"filial.frm"}, {"filial.MYD", QByteArray(1000, 'a')}});
        // the uncompressed size (1000) in the local header and in the central directory
        QByteArray dados = ler(arquivo);
        const QByteArray de("\xe8\x03\x00\x00", 4), para("\xf0\xff\xff\xff", 4);
        QCOMPARE(dados.count(de), 2);
        dados.replace(de, para);
        gravar(arquivo, dados);
        ++m_hostis;
        auto op = restaurar(arquivo);
        QCOMPARE(op->Mostrados.size(), 1);
        QVERIFY2(op->Mostrados.first().contains("bytes para ser extraído, mas só há") ||
                     op->Mostrados.first().contains("não é um arquivo ZIP válido"),
                 qPrintable(op->Mostrados.first()));
        QCOMPARE(teste::ArvoreDePasta(pasta), QStringList({"Backup_Central.zip"}));
        QCOMPARE(teste::Somas("ce_loja"), m_antes);
    }

    // ---- settings ----

    void configuracoesComLixo() {
        const QString ini = m_dir.filePath("lixo/sistema_qel.ini");
        QByteArray binario(4096, '\0');
        for (int i = 0; i < binario.size(); ++i)
            binario[i] = static_cast<char>((i * 131 + 7) % 256);
        const QList<QByteArray> conteudos = {
            binario,
            "[ip]\r\ndatabase=" + QByteArray(1 << 20, 'g') + "\r\n",
            "[ip]\ndatabase=primeiro\ndatabase=segundo\n[IP]\nDATABASE=terceiro\n",
            "[ip\ndatabase=x\n",
            "database=fora\n[ip]\n=semchave\ndatabase\n",
            QByteArray("[ip]\0\ndatabase=com\0nul\n", 24),
            "\xef\xbb\xbf[ip]\ndatabase=bom\n",
            QByteArray(3 << 20, '['),
        };
        for (const QByteArray& c : conteudos) {
            gravar(ini, c);
            const QString banco = LerTextoIni(ini, "ip", "database", "gerente");
            QVERIFY(banco.size() <= (1 << 20));
            LerTextoIni(ini, "FilialMatriz", "CodFisica", "");
        }
        gravar(ini, "[ip]\ndatabase=primeiro\ndatabase=segundo\n");
        QCOMPARE(LerTextoIni(ini, "ip", "database", "gerente"), QString("primeiro"));
        gravar(ini, "[ip]\r\ndatabase=" + QByteArray(1 << 20, 'g') + "\r\n");
        QCOMPARE(LerTextoIni(ini, "ip", "database", "gerente").size(), 1 << 20);
        // a file far too large to be a settings file is an error, not a default
        gravar(ini, QByteArray(5 << 20, ' '));
        bool erro = false;
        try {
            LerTextoIni(ini, "ip", "database", "gerente");
        } catch (const EErro& e) {
            erro = e.Mensagem().contains("não é um arquivo de configuração válido");
        }
        QVERIFY(erro);

        // the connection and the restore with such files: clear errors, no crash
        DefinirPastaDoPrograma(m_dir.filePath("lixo"));
        for (const QByteArray& c :
             {binario, QByteArray("[ip]\r\ndatabase=" + QByteArray(1 << 20, 'g') + "\r\n"),
              QByteArray("[ip]\nlocal=localhost\ndatabase=ce_loja\nusuario=root\nsenha=zz\n")}) {
            gravar(ini, c);
            TDM dm;
            QString mensagem;
            try {
                dm.Conectar();
            } catch (const EErro& e) {
                mensagem = e.Mensagem();
            }
            QVERIFY(!mensagem.isEmpty());
            QVERIFY(!dm.Conexao.Aberta());
        }
        DefinirPastaDoPrograma(m_dir.path());
    }

    void senhasDeTodaForma() {
        const QStringList senhas = {"",
                                    " ",
                                    "\t\r",
                                    "5",
                                    "5A",
                                    "5A8",
                                    "zz",
                                    "5a8cb77db844f86c8abb",
                                    "5A8CB77DB844F86C8ABB",
                                    "GG00",
                                    "5A 8C",
                                    "$5A8C",
                                    "-1",
                                    "0x5A8C",
                                    QString(2001, 'F'),
                                    QString::fromLatin1("5A\xe7\xe3"),
                                    QString("5A8C") + QChar(0) + "B7",
                                    QString::fromUtf8("5A\xe2\x82\xac")};
        for (const QString& s : senhas) {
            try {
                const QString d = Descriptografar(s, ChaveSenha());
                QVERIFY(d.size() <= s.size());
            } catch (const EErro& e) {
                QVERIFY2(e.Mensagem().contains("is not a valid integer value"),
                         qPrintable(e.Mensagem()));
            }
        }
        QCOMPARE(Descriptografar(SenhaPadraoCifrada(), ChaveSenha()), QString("marvek.db"));
        QCOMPARE(Descriptografar(" \t ", ChaveSenha()), QString());
        // through the connection: an error with a message, never a crash or an open connection
        const QString pasta = m_dir.filePath("senhas");
        QDir().mkpath(pasta);
        DefinirPastaDoPrograma(pasta);
        for (const QString& s :
             {QString("zz"), QString("5A8"), QString(2001, 'F'), SenhaPadraoCifrada()}) {
            gravar(pasta + "/sistema_qel.ini",
                   "[ip]\nlocal=localhost\ndatabase=ce_loja\nusuario=root\nsenha=" + s.toLatin1() +
                       "\n");
            TDM dm;
            bool falhou = false;
            try {
                dm.Conectar();
            } catch (const EErro& e) {
                falhou = !e.Mensagem().isEmpty();
            }
            QVERIFY2(falhou && !dm.Conexao.Aberta(), qPrintable(s.left(20)));
        }
        DefinirPastaDoPrograma(m_dir.path());
    }

    // ---- check first, then act ----

    // One run at a time on a database, and one backup at a time in a destination: a second run,
    // in this process or another, is refused at once and changes nothing.
    void umaExecucaoPorVez() {
        TDM outra; // another run holds the lock of the installation's database
        outra.AbrirConexao("localhost", QString(), "root", "", 3306);
        QCOMPARE(outra.ConsultarValor("SELECT GET_LOCK('marvek.ce_loja', 0)", 0).toInt(), 1);
        const auto ocupada = restaurar(m_zip);
        recusou(*ocupada, "Outra execução do Marvek");
        QCOMPARE(CodigoDeSaida(ocupada->Resultado), int(SaidaOcupada)); // retry later
        TOperadorGravador volta;
        TDM dv;
        dv.AbrirConexao("localhost", "ce_loja", "root", "", 3306);
        ReverterRestauracao(volta, dv, "ce_loja_Backup_01012026_000000");
        recusou(volta, "Outra execução do Marvek");
        outra.Conexao.Fechar(); // a run that dies releases its lock

        teste::CriarBancoVarejo("ce_vez", {{1, "S"}, {3, "N"}});
        teste::CriarBancoVarejo("ce_vez2", {{1, "S"}, {3, "N"}});
        const auto antes2 = teste::Somas("ce_vez2");
        const QString destino = m_dir.filePath("vez");
        TOperadorFalha op(m_dir.filePath("LOG_vez.txt"));
        QStringList segundas;
        int saidaCli = -1;
        op.AoGravarLog = [&](const QString& linha) {
            if (!segundas.isEmpty() || !linha.startsWith("UPDATE caixa"))
                return;
            // while the first backup marks and copies: the same database, another destination;
            // another database, the same destination; a console restore of the same database
            segundas << backup(m_dir.filePath("vez_outro"), "ce_vez")->Mostrados.join("")
                     << backup(destino, "ce_vez2")->Mostrados.join("");
            QDir().mkpath(m_dir.filePath("vez_cli"));
            teste::EscreverIni(m_dir.filePath("vez_cli"), "ce_vez", "3");
            QProcess cli;
            cli.start(qEnvironmentVariable("MARVEK_BINARIOS") + "/src/marvek-cli",
                      {"--pasta", m_dir.filePath("vez_cli"), "restaurar", m_zip});
            cli.closeWriteChannel();
            QVERIFY(cli.waitForFinished(60000));
            saidaCli = cli.exitCode();
            segundas << QString::fromUtf8(cli.readAllStandardError());
        };
        backup(destino, "ce_vez", &op);
        QCOMPARE(op.Mostrados.size(), 1);
        QVERIFY2(op.Mostrados.first().startsWith("Informar: Backup realizado com sucesso"),
                 qPrintable(op.Mostrados.first()));
        VerificarArquivoBackup(destino + "/Backup_Central.zip", true);
        QCOMPARE(segundas.size(), 3);
        QVERIFY2(segundas.at(0).contains("Outra execução do Marvek"), qPrintable(segundas.at(0)));
        QVERIFY2(segundas.at(1).contains("Outro backup está sendo gravado na pasta " + destino),
                 qPrintable(segundas.at(1)));
        QVERIFY2(segundas.at(2).contains("Outra execução do Marvek"), qPrintable(segundas.at(2)));
        QCOMPARE(saidaCli, int(SaidaOcupada));
        QCOMPARE(teste::Somas("ce_vez2"), antes2);
        QVERIFY(!QFile::exists(m_dir.filePath("vez_outro/Backup_Central.zip")));
        QCOMPARE(teste::Linhas("SHOW DATABASES LIKE 'ce\\_vez\\_Backup\\_%'"), QStringList());
    }

    // Settings, branch, installation and archive are all checked before the set-aside.
    void verificaTudoAntesDeAlterar() {
        const QList<QStringList> configuracoes = {
            {"mysql", "3", "banco do próprio servidor"},
            {"../../../ce_fora", "3", "não é um nome simples"},
            {"ce_loja", "33", "A filial 33 (CodFisica do sistema_qel.ini) não existe"},
            {"ce_loja", "99999999999", "Filial inválida, verifique o arquivo sistema_qel.ini"},
            {"ce_loja", "-3", "Filial inválida, verifique o arquivo sistema_qel.ini"}};
        const QStringList datadir = teste::ArvoreDePasta(teste::Valor("SELECT @@datadir"));
        for (const QStringList& c : configuracoes)
            recusou(*restaurar(m_zip, c.at(0), c.at(1)), c.at(2));
        QCOMPARE(teste::Linhas("SHOW DATABASES LIKE 'mysql\\_%'"), QStringList());
        QCOMPARE(teste::ArvoreDePasta(teste::Valor("SELECT @@datadir")), datadir);

        // an archive made for branch 3 at branch 2: asked last, after every other check, and
        // answered no; nothing was changed
        teste::EscreverIni(m_dir.path(), "ce_loja", "2");
        TOperadorGravador perguntado(m_dir.filePath("LOG_loja.txt"));
        perguntado.Backup = false;
        perguntado.ArquivoZip = m_zip;
        perguntado.OutraFilial = std::nullopt;
        perguntado.Respostas = {false};
        TDM dmLoja;
        dmLoja.Conexao.Usuario = "root";
        dmLoja.Conexao.Banco = "ce_loja";
        perguntado.Resultado = ExecutarRestauracao(perguntado, dmLoja);
        QCOMPARE(perguntado.Mostrados.size(), 2);
        QVERIFY2(
            perguntado.Mostrados.first().startsWith("Confirmar[Confirmação...|Nao]: O arquivo " +
                                                    m_zip + " foi feito para a filial 3") &&
                perguntado.Mostrados.last().contains("Nada foi alterado"),
            qPrintable(perguntado.Mostrados.join(" / ")));
        QCOMPARE(perguntado.Resultado.desfecho, TResultado::Recusada);
        QCOMPARE(teste::Linhas("SHOW DATABASES LIKE 'ce\\_loja\\_Backup\\_%'"), QStringList());
        QCOMPARE(teste::Somas("ce_loja"), m_antes);

        // a view and a trigger cannot move whole: refused, for the restore and the way back
        teste::Sql("CREATE VIEW ce_loja.v_caixa AS SELECT * FROM ce_loja.caixa");
        teste::Sql("CREATE TRIGGER ce_loja.tg_caixa BEFORE INSERT ON ce_loja.caixa FOR EACH ROW "
                   "SET NEW.valor = NEW.valor");
        auto comView = m_antes;
        comView.insert("v_caixa", "NULL");
        recusou(*restaurar(m_zip), "a view v_caixa, o gatilho tg_caixa", comView);
        teste::Sql("CREATE DATABASE ce_loja_Backup_01012026_000000");
        teste::Sql("CREATE TABLE ce_loja_Backup_01012026_000000.t (id INT)");
        TOperadorGravador volta;
        TDM dm;
        dm.AbrirConexao("localhost", "ce_loja", "root", "", 3306);
        ReverterRestauracao(volta, dm, "ce_loja_Backup_01012026_000000");
        QVERIFY2(volta.Mostrados.join("").contains("a view v_caixa"),
                 qPrintable(volta.Mostrados.join("")));
        QCOMPARE(teste::Linhas("SHOW TABLES FROM ce_loja_Backup_01012026_000000"),
                 QStringList({"t"}));
        teste::Sql("DROP DATABASE ce_loja_Backup_01012026_000000");
        teste::Sql("DROP VIEW ce_loja.v_caixa");
        teste::Sql("DROP TRIGGER ce_loja.tg_caixa");
        QCOMPARE(teste::Somas("ce_loja"), m_antes);

        // an entry that inflates past its declared size is refused, and nothing of it is left
        const QString bomba = m_dir.filePath("bomba/Backup_Central.zip");
        zipHostil(bomba, {{"filial.frm"}, {"filial.MYD", QByteArray(8 << 20, '\0')}});
        QByteArray dados = ler(bomba);
        QCOMPARE(dados.count(QByteArray("\x00\x00\x80\x00", 4)), 2);
        dados.replace(QByteArray("\x00\x00\x80\x00", 4), QByteArray("\xe8\x03\x00\x00", 4));
        gravar(bomba, dados);
        recusada(bomba, "não tem os 1000 bytes que declara");
    }

    // The tables loaded are exactly those with both files in the archive, whatever lies between
    // them; strays are passed over with a log line.
    void tabelasDoArquivoSaoAsCarregadas() {
        const QString pasta = m_dir.filePath("avulsos/partes");
        QVERIFY(QDir().mkpath(pasta));
        ExtrairZip(m_zip, pasta);
        QVERIFY(QFile::copy(pasta + "/caixa.frm", pasta + "/prod.frm"));
        QVERIFY(QFile::copy(pasta + "/caixa.MYD", pasta + "/prod.MYD"));
        gravar(pasta + "/aria.txt", "leia-me");
        gravar(pasta + "/prod.gif", "GIF89a");
        QStringList arquivos;
        for (const QString& n : QDir(pasta).entryList(QDir::Files))
            arquivos << pasta + "/" + n;
        const QString arquivo = m_dir.filePath("avulsos/Backup_Central.zip");
        CompactarArquivos(arquivo, arquivos);
        teste::CriarBancoVarejo("ce_avulsos", {{1, "S"}, {3, "N"}});
        auto op = restaurar(arquivo, "ce_avulsos");
        QVERIFY2(op->Mostrados.size() == 1 && op->Mostrados.first().startsWith("Confirmar"),
                 qPrintable(op->Mostrados.join(" / ")));
        QCOMPARE(teste::Valor("select count(*) from ce_avulsos.prod"),
                 teste::Valor("select count(*) from ce_central.caixa"));
        QCOMPARE(op->LinhasLog().filter("Arquivo ignorado"),
                 QStringList({"Arquivo ignorado (não é arquivo de tabela): aria.txt",
                              "Arquivo ignorado (não é arquivo de tabela): prod.gif"}));
    }

    // A work folder is emptied only when the program made it, and never through a link.
    void nuncaApagaOQueNaoEhDoMarvek() {
        const QString x = m_dir.filePath("alheia");
        gravar(x + "/loja/contrato.pdf", "contrato");
        gravar(x + "/alvo/guardado.txt", "do usuário");
        QVERIFY(QFile::copy(m_zip, x + "/loja.zip"));
        QVERIFY(QFile::copy(m_zip, x + "/link.zip"));
        QVERIFY(QFile::link(x + "/alvo", x + "/link"));
        recusou(*restaurar(x + "/loja.zip"), "A pasta " + x + "/loja já existe e não foi criada");
        recusou(*restaurar(x + "/link.zip"), x + "/link é um link simbólico");

        teste::CriarBancoVarejo("ce_alheia", {{1, "S"}, {3, "N"}});
        const auto central = teste::Somas("ce_alheia");
        QVERIFY(QFile::link(x + "/alvo", x + "/bk_link/Temp_Backup") ||
                (QDir().mkpath(x + "/bk_link") &&
                 QFile::link(x + "/alvo", x + "/bk_link/Temp_Backup")));
        gravar(x + "/bk_usuario/Temp_Backup/planilha.xls", "do usuário");
        for (const QString& d : {x + "/bk_link", x + "/bk_usuario"}) {
            auto op = backup(d, "ce_alheia");
            QVERIFY2(op->Mostrados.join("").contains(d + "/Temp_Backup"),
                     qPrintable(op->Mostrados.join("")));
            QCOMPARE(op->LinhasLog(), QStringList());
        }
        QCOMPARE(teste::Somas("ce_alheia"), central);
        QCOMPARE(teste::ArvoreDePasta(x + "/alvo"), QStringList({"guardado.txt"}));
        QCOMPARE(ler(x + "/bk_usuario/Temp_Backup/planilha.xls"), QByteArray("do usuário"));
        QCOMPARE(ler(x + "/loja/contrato.pdf"), QByteArray("contrato"));

        // a folder the program made is emptied; a link in it goes as a link
        const QString propria = m_dir.filePath("propria");
        CriarPastaPropria(propria + "/Temp_Backup");
        QVERIFY(QFile::link(x + "/alvo/guardado.txt", propria + "/Temp_Backup/ligado.MYD"));
        auto op = backup(propria, "ce_alheia");
        QVERIFY2(op->Mostrados.first().startsWith("Informar"), qPrintable(op->Mostrados.first()));
        QVERIFY(!QFileInfo(propria + "/Temp_Backup/ligado.MYD").isSymLink());
        QCOMPARE(ler(x + "/alvo/guardado.txt"), QByteArray("do usuário"));
    }

    // A row written while a table is being marked and copied waits for the copy: the archive
    // holds no row without the branch's marker.
    void marcaEmTodaLinhaCopiada() {
        teste::CriarBancoVarejo("ce_marca", {{1, "S"}, {3, "N"}});
        std::thread escritor;
        TOperadorFalha op(m_dir.filePath("LOG_marca.txt"));
        bool esperou = false;
        QString erroEscritor;
        op.AoGravarLog = [&](const QString& linha) {
            if (!linha.startsWith("UPDATE caixa") || escritor.joinable())
                return;
            escritor = std::thread([&erroEscritor] {
                try {
                    TDM w;
                    w.AbrirConexao("localhost", "ce_marca", "root", "", 3306);
                    w.ExecutarComando("INSERT INTO caixa (filial_id, valor, lojas_leram) "
                                      "VALUES (3, 99, '')");
                } catch (const EErro& e) {
                    erroEscritor = e.Mensagem();
                }
            });
            TDM vigia; // the writer must be waiting for the table while the backup holds it
            vigia.AbrirConexao("localhost", QString(), "root", "", 3306);
            for (int i = 0; i < 200000 && !esperou; ++i)
                esperou = vigia
                              .ConsultarValor("SELECT COUNT(*) FROM information_schema.PROCESSLIST "
                                              "WHERE INFO LIKE 'INSERT INTO caixa%' AND STATE "
                                              "LIKE '%lock%'",
                                              0)
                              .toInt() > 0;
        };
        backup(m_dir.filePath("marca"), "ce_marca", &op);
        if (escritor.joinable())
            escritor.join();
        QVERIFY(esperou);
        QCOMPARE(erroEscritor, QString());
        QVERIFY2(op.Mostrados.first().startsWith("Informar"), qPrintable(op.Mostrados.first()));
        teste::RecriarBanco("ce_marca_copia");
        const QString pasta = m_dir.filePath("marca/extraida");
        QVERIFY(QDir().mkpath(pasta));
        ExtrairZip(m_dir.filePath("marca/Backup_Central.zip"), pasta);
        TDM dm;
        dm.AbrirConexao("localhost", "ce_marca_copia", "root", "", 3306);
        dm.RestoreTables("caixa", pasta);
        QCOMPARE(teste::Valor("select count(*) from ce_marca_copia.caixa where lojas_leram not "
                              "like '%" +
                              CodigoLojasLeram(3) + "%'"),
                 QString("0"));
        QCOMPARE(teste::Valor("select lojas_leram from ce_marca.caixa where valor = 99"),
                 QString(""));
    }

    // ---- names, folders and neighbours ----

    // A table name never runs as SQL, and every name a user may choose goes to the store and
    // back: a table named to grant privileges grants nothing, odd names keep their rows.
    void nomesDeTabelaNuncaViramSql() {
        teste::CriarBancoVarejo("ce_nomes", {{1, "S"}, {3, "N"}});
        teste::Sql("DROP USER IF EXISTS 'ce_app'@'localhost'");
        teste::Sql("CREATE USER 'ce_app'@'localhost'");
        const QStringList antesGrants = teste::Linhas("SHOW GRANTS FOR 'ce_app'@'localhost'");
        const QString injecao = "filial;GRANT ALL ON *.* TO ce_app@localhost;#";
        const QStringList nomes = {injecao,
                                   "order",
                                   "group",
                                   "1e5",
                                   "123",
                                   "tab com espaco",
                                   "aspas'x",
                                   "crase`x",
                                   "hash#x",
                                   QString::fromUtf8("preço"),
                                   QString::fromUtf8("表")};
        for (const QString& n : nomes) {
            teste::Sql("CREATE TABLE ce_nomes." + CitarIdentificador(n) +
                       " (id INT, v VARCHAR(64) CHARACTER SET utf8mb4, lojas_leram VARCHAR(60)) "
                       "ENGINE=MyISAM");
            teste::Sql("INSERT INTO ce_nomes." + CitarIdentificador(n) + " VALUES (1, " +
                       CitarTexto(n) + ", NULL), (2, 'x', '2')");
        }
        auto op = backup(m_dir.filePath("nomes"), "ce_nomes");
        QVERIFY2(op->Mostrados.value(0).startsWith("Informar"), qPrintable(op->Mostrados.join("")));
        QCOMPARE(teste::Linhas("SHOW GRANTS FOR 'ce_app'@'localhost'"), antesGrants);
        // logged bare when the server takes the name bare, quoted otherwise
        const QStringList log = op->LinhasLog();
        QVERIFY(log.contains("UPDATE caixa SET lojas_leram = CONCAT(coalesce(lojas_leram,\"\"),"
                             "\"3\") where coalesce(lojas_leram,\"\") not like \"%3%\";"));
        QVERIFY(log.filter("UPDATE `order` SET").size() == 1);
        QVERIFY(log.filter("UPDATE `filial;GRANT ALL ON *.* TO ce_app@localhost;#` SET").size() ==
                1);
        const QString zip = m_dir.filePath("nomes/Backup_Central.zip");
        const QStringList entradas = teste::EntradasDoZip(zip);
        for (const char* e : {"pre@0no.frm", "@8868.MYD", "order.frm", "1e5.MYD",
                              "tab@0020com@0020espaco.frm", "crase@0060x.MYD"})
            QVERIFY2(entradas.contains(e), e);
        QStringList verificadas;
        for (const TTabelaArquivo& t : VerificarArquivoBackup(zip, true))
            verificadas << t.nome;
        for (const QString& n : nomes)
            QVERIFY2(verificadas.contains(n), qPrintable(n));

        teste::CriarBancoVarejo("ce_nomes_loja", {{1, "S"}, {3, "N"}});
        auto loja = restaurar(zip, "ce_nomes_loja");
        QVERIFY2(loja->Mostrados.value(0).startsWith("Confirmar"),
                 qPrintable(loja->Mostrados.join(" / ")));
        QVERIFY(loja->LinhasLog().contains("DESCRIBE `order` lojas_leram"));
        for (const QString& n : nomes)
            QCOMPARE(teste::Linhas("SELECT id, v FROM ce_nomes_loja." + CitarIdentificador(n)),
                     teste::Linhas("SELECT id, v FROM ce_nomes." + CitarIdentificador(n)));
        QCOMPARE(teste::Linhas("SHOW GRANTS FOR 'ce_app'@'localhost'"), antesGrants);
        teste::Sql("DROP USER 'ce_app'@'localhost'");
    }

    // Work folders and files are the program's alone: another user's folder or lock, or a
    // folder others may write, is refused before anything changes; what the program writes is
    // readable by its owner only, whatever the umask.
    void pastasDeOutroUsuarioSaoRecusadas() {
        if (::geteuid() != 0)
            QSKIP("giving a folder to another user needs root");
        teste::CriarBancoVarejo("ce_viz", {{1, "S"}, {3, "N"}});
        const QMap<QString, QString> central = teste::Somas("ce_viz");
        const QString comum = m_dir.filePath("comum");
        QVERIFY(QDir().mkpath(comum));
        QVERIFY(::chmod(QFile::encodeName(comum).constData(), 01777) == 0);
        const QString trabalho = comum + "/Temp_Backup";
        auto refusedBackup = [&](const QString& texto) {
            auto op = backup(comum, "ce_viz");
            QVERIFY2(op->Mostrados.size() == 1 && op->Mostrados.first().contains(texto),
                     qPrintable(op->Mostrados.join(" / ")));
            QCOMPARE(teste::Somas("ce_viz"), central);
            QVERIFY(!QFile::exists(comum + "/Backup_Central.zip"));
        };
        QVERIFY(QDir().mkdir(trabalho));
        QVERIFY(::chown(QFile::encodeName(trabalho).constData(), 65534, 65534) == 0);
        refusedBackup("pertence ao usuário nobody");
        QVERIFY(::chown(QFile::encodeName(trabalho).constData(), 0, 0) == 0);
        QVERIFY(::chmod(QFile::encodeName(trabalho).constData(), 0777) == 0);
        refusedBackup("pode ser alterada por outros usuários");
        QVERIFY(QDir().rmdir(trabalho));
        gravar(comum + "/.marvek-backup.lock", "");
        QVERIFY(::chown(QFile::encodeName(comum + "/.marvek-backup.lock").constData(), 65534,
                        65534) == 0);
        refusedBackup("pertence ao usuário nobody");
        QVERIFY(QFile::remove(comum + "/.marvek-backup.lock"));

        const mode_t mascara = ::umask(0);
        auto ok = backup(comum, "ce_viz");
        ::umask(mascara);
        QVERIFY2(ok->Mostrados.value(0).startsWith("Informar"), qPrintable(ok->Mostrados.join("")));
        QCOMPARE(QFileInfo(comum + "/Backup_Central.zip").permissions() & 0x0077, 0);
        QCOMPARE(QFileInfo(trabalho).permissions() & 0x0077, 0);

        // the restore: another user's extraction folder is refused before the set-aside
        const QString extracao = comum + "/Backup_Central";
        QVERIFY(QDir().mkdir(extracao));
        QVERIFY(::chown(QFile::encodeName(extracao).constData(), 65534, 65534) == 0);
        recusou(*restaurar(comum + "/Backup_Central.zip"), "pertence ao usuário nobody");
        QVERIFY(QDir().rmdir(extracao));
        teste::CriarBancoVarejo("ce_viz_loja", {{1, "S"}, {3, "N"}});
        auto loja = restaurar(comum + "/Backup_Central.zip", "ce_viz_loja");
        QVERIFY2(loja->Mostrados.value(0).startsWith("Confirmar"),
                 qPrintable(loja->Mostrados.join(" / ")));
        QCOMPARE(QFileInfo(extracao).permissions() & 0x0077, 0);
        for (const QFileInfo& f : QDir(extracao).entryInfoList(QDir::Files | QDir::Hidden))
            QVERIFY2((f.permissions() & 0x0077) == 0, qPrintable(f.fileName()));
    }

    // Everything the run needs is checked before the first marker (backup) or the set-aside
    // (restore): the engines, every live branch's marker, the data folder's room, what stands
    // where the archive's files go.
    void verificaAntesDaPrimeiraMudanca() {
        teste::CriarBancoVarejo("ce_cedo", {{1, "S"}, {3, "N"}});
        teste::Sql("CREATE TABLE ce_cedo.zz_mem (id INT, lojas_leram VARCHAR(9)) ENGINE=MEMORY");
        teste::Sql("INSERT INTO ce_cedo.zz_mem VALUES (1, '')");
        QMap<QString, QString> central = teste::Somas("ce_cedo");
        auto memoria = backup(m_dir.filePath("cedo"), "ce_cedo");
        QVERIFY2(memoria->Mostrados.value(0).contains("zz_mem (MEMORY)"),
                 qPrintable(memoria->Mostrados.join("")));
        QCOMPARE(teste::Somas("ce_cedo"), central);
        teste::Sql("DROP TABLE ce_cedo.zz_mem");

        // a table a crash left damaged (its index file cut) is named, before the first marker
        teste::Sql("CREATE TABLE ce_cedo.zz_dano (id INT PRIMARY KEY) ENGINE=MyISAM");
        teste::Sql("INSERT INTO ce_cedo.zz_dano VALUES (1), (2)");
        teste::Sql("FLUSH TABLES ce_cedo.zz_dano");
        QVERIFY(QFile::resize(teste::Valor("SELECT @@datadir") + "ce_cedo/zz_dano.MYI", 100));
        central = teste::Somas("ce_cedo");
        central.remove("zz_dano");
        auto dano = backup(m_dir.filePath("cedo"), "ce_cedo");
        QVERIFY2(dano->Mostrados.value(0).contains("danificadas: zz_dano"),
                 qPrintable(dano->Mostrados.join("")));
        auto somas = teste::Somas("ce_cedo");
        somas.remove("zz_dano");
        QCOMPARE(somas, central);
        teste::Sql("DROP TABLE ce_cedo.zz_dano");
        central = teste::Somas("ce_cedo");

        // a live branch 60 has no marker: the backup refuses, and so does the restore of an
        // archive whose branch table holds one
        teste::Sql("INSERT INTO ce_cedo.filial (filial_id, nome, apagado, escritorio) VALUES "
                   "(60, 'Loja 60', 'N', 'N')");
        central = teste::Somas("ce_cedo");
        auto b60 = backup(m_dir.filePath("cedo"), "ce_cedo");
        QVERIFY2(b60->Mostrados.value(0).contains("O filial_id 60"),
                 qPrintable(b60->Mostrados.join("")));
        QCOMPARE(teste::Somas("ce_cedo"), central);
        const QString partes = m_dir.filePath("cedo/partes");
        QVERIFY(QDir().mkpath(partes));
        ExtrairZip(m_zip, partes);
        teste::Admin().ExecutarComando("FLUSH TABLES ce_cedo.filial");
        const QString dados = teste::Valor("SELECT @@datadir");
        for (const char* ext : {".frm", ".MYD"}) {
            QFile::remove(partes + "/filial" + ext);
            QVERIFY(QFile::copy(dados + "ce_cedo/filial" + ext, partes + "/filial" + ext));
        }
        QStringList arquivos;
        for (const QString& n : QDir(partes).entryList(QDir::Files))
            arquivos << partes + "/" + n;
        const QString com60 = m_dir.filePath("cedo60/Backup_Central.zip");
        QDir().mkpath(QFileInfo(com60).absolutePath());
        CompactarArquivos(com60, arquivos);
        recusou(*restaurar(com60), "O filial_id 60");

        // a data folder without room, and a folder where a table's file goes
        MedidorDeEspaco() = [&dados](const QString& p) {
            return QDir(p).absolutePath() == QDir(dados).absolutePath() ? 1000 : -1;
        };
        recusou(*restaurar(m_zip), "Disco cheio");
        MedidorDeEspaco() = nullptr;
        const QString extracao = PastaDeExtracao(m_zip);
        CriarPastaPropria(extracao);
        QVERIFY(QDir().mkpath(extracao + "/caixa.MYD"));
        recusou(*restaurar(m_zip), extracao + "/caixa.MYD");
        QVERIFY(QDir().rmdir(extracao + "/caixa.MYD"));
    }

    // ---- input of the backup ----

    void destinosComCaracteresEstranhos() {
        teste::CriarBancoVarejo("ce_dest", {{1, "S"}, {3, "N"}});
        const QStringList nomes = {"com espaço",       "aspas 'simples'",
                                   "aspas \"duplas\"", QString::fromLatin1("a\xe7\xe3o \xe9\xfc"),
                                   "barra\\invertida", "ponto e vírgula; DROP DATABASE ce_dest"};
        int k = 0;
        for (const QString& n : nomes) {
            // a database of its own each time: two restores in one second share an aside name
            const QString loja = QString("ce_dest_loja%1").arg(k++);
            const QString destino = m_dir.filePath("destinos/" + n);
            QVERIFY(QDir().mkpath(destino));
            TDM dm;
            dm.AbrirConexao("localhost", "ce_dest", "root", "", 3306);
            TOperadorGravador op(m_dir.filePath("LOG_dest.txt"));
            op.Filial = "3";
            op.Pasta = destino;
            RealizarBackup(op, dm);
            QCOMPARE(op.Mostrados.size(), 1);
            if (n.contains('\\')) {
                // the server's path turns every backslash into a folder separator: a folder
                // that does not exist, named in the error
                QVERIFY2(
                    op.Mostrados.first().startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r") &&
                        op.Mostrados.first().contains("barra/invertida/Temp_Backup"),
                    qPrintable(op.Mostrados.first()));
                continue;
            }
            QCOMPARE(op.Mostrados.first(),
                     "Informar: Backup realizado com sucesso!\r\rArquivo salvo em : " + destino +
                         "/Backup_Central.zip");
            // and the archive restores from there
            VerificarArquivoBackup(destino + "/Backup_Central.zip", true);
            teste::RecriarBanco(loja);
            teste::EscreverIni(m_dir.path(), loja, "3");
            TDM dl;
            dl.Conexao.Usuario = "root";
            dl.Conexao.Banco = loja;
            TOperadorGravador ol(m_dir.filePath("LOG_dest_loja.txt"));
            ol.Backup = false;
            ol.ArquivoZip = destino + "/Backup_Central.zip";
            ExecutarRestauracao(ol, dl);
            QVERIFY2(ol.Mostrados.size() == 1 && ol.Mostrados.first().startsWith("Confirmar"),
                     qPrintable(n + ": " + ol.Mostrados.join(" / ")));
            QCOMPARE(teste::Linhas("SHOW TABLES FROM " + loja),
                     teste::Linhas("SHOW TABLES FROM ce_dest"));
        }
        QVERIFY(!teste::Linhas("SHOW DATABASES LIKE 'ce_dest'").isEmpty());
    }

    void filiaisNoFimDaFaixa() {
        const QList<QPair<QString, QString>> casos = {
            {"53", ""},
            {"54", "não pode ser convertido"},
            {"55", "não pode ser convertido"},
            {"0", ""}, // no id below 54 is refused: 0 gives "0", -1 gives "/"
            {"-1", ""},
            {"99999999999", "is not a valid integer value"},
            {"abc", "is not a valid integer value"},
            {"3; DROP DATABASE ce_faixa", "is not a valid integer value"},
        };
        for (const auto& [filial, erro] : casos) {
            teste::CriarBancoVarejo("ce_faixa", {{1, "S"}, {3, "N"}});
            const QString antes = teste::Checksum("ce_faixa", "caixa");
            TDM dm;
            dm.AbrirConexao("localhost", "ce_faixa", "root", "", 3306);
            TOperadorGravador op(m_dir.filePath("LOG_faixa.txt"));
            op.Filial = filial;
            op.Pasta = m_dir.filePath("faixa");
            const QString zip = m_dir.filePath("faixa/Backup_Central.zip");
            const QByteArray zipAntes = QFile::exists(zip) ? ler(zip) : QByteArray();
            RealizarBackup(op, dm);
            QCOMPARE(op.Mostrados.size(), 1);
            if (erro.isEmpty()) {
                QVERIFY2(op.Mostrados.first().startsWith("Informar: Backup realizado"),
                         qPrintable(op.Mostrados.first()));
                const QString m = filial == "53" ? ":" : filial == "0" ? "0" : "/";
                QCOMPARE(teste::Valor("select count(*) from ce_faixa.caixa where "
                                      "locate('" +
                                      m + "', lojas_leram) = 0"),
                         QString("0"));
            } else {
                QVERIFY2(
                    op.Mostrados.first().startsWith("ErroPadrao: Ocorreu o seguinte erro: \r\r") &&
                        op.Mostrados.first().contains(erro),
                    qPrintable(filial + ": " + op.Mostrados.first()));
                QCOMPARE(teste::Checksum("ce_faixa", "caixa"), antes);
                // the archive of the last good run stays byte for byte
                QCOMPARE(QFile::exists(zip) ? ler(zip) : QByteArray(), zipAntes);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TstConfiabilidadeEntrada)
#include "tst_confiabilidade_entrada.moc"

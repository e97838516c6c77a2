#include "base/EErro.h"
#include "base/Pastas.h"
#include "base/Traducoes.h"
#include "gui/Dialogos.h"
#include "gui/TAplicacao.h"
#include "gui/TFLogin.h"
#include "gui/TfrmPrincipal.h"
#include "support/BancoTeste.h"
#include "support/TesteJanela.h"

#include <QAction>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QToolButton>
#include <QTranslator>
#include <QtTest>
#include <stdexcept>

using namespace marvek;

namespace {

const QStringList OITO_CONTROLES = {"cbxFiliais", "txtDiretorio", "btnCancelar", "btnIniciar",
                                    "rbtnBackup", "rbtnRestore",  "txtArquivo",  "btnAjuda"};

// A window that fails in its own event handlers, for the general error display.
class TJanelaComFalha : public QWidget {
public:
    std::function<void()> aoTeclar;

protected:
    void keyPressEvent(QKeyEvent*) override { aoTeclar(); }
};

} // namespace

class TstPrincipal : public teste::TTesteJanela {
    Q_OBJECT
    QTemporaryDir m_pasta;

    static void criarBanco(const QString& banco, const QString& filiais) {
        teste::RecriarBanco(banco);
        teste::Sql("CREATE TABLE " + banco +
                   ".filial (filial_id INT, nome VARCHAR(40), apagado CHAR(1)) ENGINE=MyISAM");
        if (!filiais.isEmpty())
            teste::Sql("INSERT INTO " + banco + ".filial VALUES " + filiais);
    }

    QString arquivoLog() const { return m_pasta.filePath("LOG_MARVEK.txt"); }

    static QStringList linhasSemHora(const TfrmPrincipal& janela) {
        QStringList r;
        for (const QString& l : janela.Log().Linhas())
            r << l.mid(12);
        return r;
    }

    // Shows the window and waits until it is active; the pre-validation offer of backup mode is
    // answered with No and its question forgotten.
    static void mostrar(TfrmPrincipal& janela) {
        dialogos::Responder(false);
        QVERIFY(Mostrar(janela));
        GravarCaixas();
    }

    static QStringList ativos(QWidget& janela) {
        QStringList r;
        for (const QString& nome : OITO_CONTROLES)
            if (janela.findChild<QWidget*>(nome)->isEnabled())
                r << nome;
        return r;
    }

    // The window's database for operations run from it: the restore sets the current tables
    // aside, so those tests get a database of their own.
    void prepararOperacao() {
        criarBanco("pr_operacao", "(2,'Loja 2','N')");
        teste::EscreverIni(m_pasta.path(), "pr_operacao");
    }

private slots:
    void initTestCase() {
        QVERIFY(m_pasta.isValid());
        DefinirPastaDoPrograma(m_pasta.path());
        criarBanco("pr_principal", "(12,'Centro','N'),(3,'Loja 3','N'),(5,'Apagada','S'),"
                                   "(7,'Sem marca',NULL),(1,'Matriz','N')");
    }

    void init() {
        GravarCaixas();
        DefinirPastaDoPrograma(m_pasta.path());
        teste::EscreverIni(m_pasta.path(), "pr_principal");
        QFile::remove(arquivoLog());
    }

    void cleanupTestCase() { teste::ApagarBancos("pr_"); }

    void controlesDaJanela() {
        TfrmPrincipal janela({});
        QCOMPARE(janela.windowTitle(), QString("Marvek"));
        QCOMPARE(janela.size(), QSize(282, 206));
        QCOMPARE(janela.minimumSize(), janela.maximumSize());
        QVERIFY(!(janela.windowFlags() & Qt::WindowMaximizeButtonHint));
        QVERIFY(janela.windowFlags() & Qt::WindowMinimizeButtonHint);

        const QList<std::tuple<const char*, QRect>> limites = {
            {"cbxFiliais", {8, 24, 265, 21}},    {"gOperacoes", {8, 48, 265, 41}},
            {"rbtnBackup", {32, 16, 65, 17}},    {"rbtnRestore", {144, 16, 97, 17}},
            {"txtDiretorio", {8, 112, 265, 21}}, {"txtArquivo", {8, 112, 265, 21}},
            {"ProgressBar", {8, 144, 265, 16}},  {"btnAjuda", {8, 168, 33, 33}},
            {"SpeedButton1", {46, 168, 33, 33}}, {"btnIniciar", {88, 171, 89, 25}},
            {"btnCancelar", {184, 170, 89, 25}}};
        for (const auto& [nome, rect] : limites)
            QCOMPARE(Controle<QWidget>(janela, nome)->geometry(), rect);
        QCOMPARE(Controle<QRadioButton>(janela, "rbtnRestore")->layoutDirection(), Qt::RightToLeft);
        for (const char* nome : {"btnAjuda", "SpeedButton1"}) {
            auto* b = Controle<QToolButton>(janela, nome);
            QVERIFY(b->autoRaise());
            QVERIFY(!b->icon().isNull());
            QCOMPARE(b->toolTip(), QString("Sobre"));
        }
        QCOMPARE(Controle<QComboBox>(janela, "cbxFiliais")->maxVisibleItems(), 8);
        QVERIFY(Controle<QWidget>(janela, "txtArquivo")->isHidden());
        QVERIFY(Controle<QWidget>(janela, "SpeedButton1")->isHidden());
        QVERIFY(Controle<QRadioButton>(janela, "rbtnBackup")->isChecked());

        // tab order: list, operation, folder, archive, start, cancel
        QStringList ordem;
        QWidget* w = Controle<QWidget>(janela, "cbxFiliais");
        do {
            if (w->focusPolicy() & Qt::TabFocus)
                ordem << w->objectName();
            w = w->nextInFocusChain();
        } while (w != Controle<QWidget>(janela, "cbxFiliais"));
        ordem.removeAll(QString());
        QCOMPARE(ordem, QStringList({"cbxFiliais", "rbtnBackup", "rbtnRestore", "txtDiretorio",
                                     "txtArquivo", "btnIniciar", "btnCancelar"}));
    }

    void inicioNormal() {
        TfrmPrincipal janela({});
        auto* filiais = Controle<QComboBox>(janela, "cbxFiliais");
        // live branches in the server's order; "S" and NULL are left out
        QCOMPARE(filiais->count(), 3);
        QCOMPARE(filiais->itemText(0), QString("Centro"));
        QCOMPARE(filiais->itemText(1), QString("Loja 3"));
        QCOMPARE(filiais->itemText(2), QString("Matriz"));
        QCOMPARE(filiais->currentIndex(), 0);
        QCOMPARE(janela.FilialSelecionada(), QString("12"));
        QCOMPARE(filiais->toolTip(), QString("12 (C)"));
        QVERIFY(janela.ModoBackup());
        QVERIFY(Controle<QWidget>(janela, "rbtnBackup")->isEnabled());
        QCOMPARE(ativos(janela), OITO_CONTROLES);
        QVERIFY(!janela.Encerrado());
        QVERIFY(dialogos::Mostradas().isEmpty());
        // the options object exists from the start, every switch off
        QVERIFY(janela.Configuracoes());
        QVERIFY(!janela.Configuracoes()->ExecutarTruncates());
        QVERIFY(!janela.Configuracoes()->ZerarNumlanc());
        QVERIFY(!janela.Configuracoes()->ExecutarDeletes());
        QCOMPARE(janela.PosicaoProgresso(), 0);
        // nothing is logged at start, so no log file appears
        QVERIFY(!QFile::exists(arquivoLog()));
    }

    void dicasDaFilial() {
        criarBanco("pr_dicas", "(1,'a','N'),(9,'b','N'),(10,'c','N'),(35,'d','N'),(53,'e','N'),"
                               "(54,'f','N')");
        teste::EscreverIni(m_pasta.path(), "pr_dicas");
        TfrmPrincipal janela({});
        auto* filiais = Controle<QComboBox>(janela, "cbxFiliais");
        QCOMPARE(filiais->toolTip(), QString("1"));
        const QStringList esperadas = {"1", "9", "10 (A)", "35 (Z)", "53 (:)"};
        for (int i = esperadas.size() - 1; i >= 0; --i) {
            filiais->setCurrentIndex(i);
            QCOMPARE(filiais->toolTip(), esperadas[i]);
        }
        QVERIFY(dialogos::Mostradas().isEmpty());

        // 54 has no marker: the general error display shows why, the hint stays as it was
        filiais->setCurrentIndex(4);
        filiais->setCurrentIndex(5);
        QCOMPARE(dialogos::Resumo(),
                 QStringList("ErroPadrao: O filial_id 54 não pode ser convertido para um "
                             "\"lojas_leram\" válido"));
        QCOMPARE(dialogos::Mostradas().first().titulo, QString("Error"));
        QCOMPARE(filiais->toolTip(), QString("53 (:)"));

        // a cleared selection has no key to convert
        dialogos::AtivarTeste(true);
        filiais->setCurrentIndex(-1);
        QCOMPARE(dialogos::Resumo(), QStringList("ErroPadrao: '' is not a valid integer value"));
        QCOMPARE(filiais->toolTip(), QString("53 (:)"));
        QCOMPARE(janela.FilialSelecionada(), QString());
    }

    void inicioSomenteRestauracao_data() {
        QTest::addColumn<QString>("preparo");
        QTest::newRow("banco inexistente") << "ini:pr_nao_existe";
        QTest::newRow("sem tabela filial") << "tabela";
        QTest::newRow("primeira filial acima de 53") << "filial:(60,'Longe','N'),(2,'Perto','N')";
    }

    void inicioSomenteRestauracao() {
        QFETCH(QString, preparo);
        if (preparo.startsWith("ini:")) {
            teste::EscreverIni(m_pasta.path(), preparo.mid(4));
        } else if (preparo == "tabela") {
            teste::RecriarBanco("pr_vazio");
            teste::EscreverIni(m_pasta.path(), "pr_vazio");
        } else {
            criarBanco("pr_longe", preparo.mid(7));
            teste::EscreverIni(m_pasta.path(), "pr_longe");
        }
        const QString argumento = m_pasta.filePath("Backup_Central.zip");
        TfrmPrincipal janela({argumento});

        QVERIFY(!janela.ModoBackup());
        QVERIFY(Controle<QRadioButton>(janela, "rbtnRestore")->isChecked());
        QVERIFY(!Controle<QWidget>(janela, "rbtnBackup")->isEnabled());
        QCOMPARE(Controle<QLabel>(janela, "lblDiretorio")->text(), QString("Origem do Backup"));
        QVERIFY(!Controle<QWidget>(janela, "txtArquivo")->isHidden());
        // no box, but the title and the backup button say why
        QCOMPARE(janela.windowTitle(), QString("Marvek - somente restauração"));
        QVERIFY2(Controle<QWidget>(janela, "rbtnBackup")
                         ->toolTip()
                         .startsWith("O backup não está disponível: ") &&
                     Controle<QWidget>(janela, "rbtnBackup")->toolTip().size() > 31,
                 qPrintable(Controle<QWidget>(janela, "rbtnBackup")->toolTip()));
        QVERIFY(dialogos::Mostradas().isEmpty());
        QCOMPARE(janela.Arquivo(), QString());
        QVERIFY(janela.Log().Linhas().isEmpty());
        QVERIFY(!janela.Encerrado());
        QVERIFY(janela.Configuracoes());

        // the backup option comes back with the first toggle that enables the controls
        janela.AlternarControles();
        QCOMPARE(ativos(janela), QStringList());
        janela.AlternarControles();
        QCOMPARE(ativos(janela), OITO_CONTROLES);
    }

    void argumentoInvalido_data() {
        QTest::addColumn<QStringList>("argumentos");
        QTest::newRow("minusculas") << QStringList{"C:\\dados\\backup_central.zip"};
        QTest::newRow("outro nome") << QStringList{"C:\\dados\\copia.zip"};
        QTest::newRow("so o primeiro conta")
            << QStringList{"C:\\dados\\copia.zip", "C:\\Sistemaqel\\Backup_Central.zip"};
    }

    void argumentoInvalido() {
        QFETCH(QStringList, argumentos);
        TfrmPrincipal janela(argumentos);
        QSignalSpy encerrado(&janela, &TfrmPrincipal::ProgramaEncerrado);
        QCOMPARE(dialogos::Resumo(), QStringList("ErroPadrao: Arquivo inválido"));
        QCOMPARE(dialogos::Mostradas().first().titulo, QString("Error"));
        QVERIFY(janela.Encerrado());
        QVERIFY(!janela.isVisible());
        QVERIFY(janela.Log().Linhas().isEmpty());
        QCOMPARE(janela.Arquivo(), QString());
    }

    void argumentoAceito() {
        criarBanco("pr_argumento", "(2,'Loja 2','N')");
        teste::EscreverIni(m_pasta.path(), "pr_argumento");
        QVERIFY(QDir(m_pasta.path()).mkpath("x"));
        const QString argumento = m_pasta.filePath("x/Backup_Central.zip.old");
        TfrmPrincipal janela({argumento, "outro"});
        QVERIFY(!janela.Encerrado());
        QVERIFY(!janela.ModoBackup());
        QCOMPARE(janela.Arquivo(), argumento);
        QVERIFY(!janela.isVisible());
        // the restore ran while the window was being created
        QVERIFY(!janela.Log().Linhas().isEmpty());
        QCOMPARE(linhasSemHora(janela).first(), QString("Inicio Restore"));
        QCOMPARE(linhasSemHora(janela).last(), QString("Fim Restore"));
        QFile log(arquivoLog());
        QVERIFY(log.open(QIODevice::ReadOnly));
        QVERIFY(log.readAll().contains(" -> Inicio Restore\r\n"));
        QVERIFY(!dialogos::Resumo().contains("ErroPadrao: Arquivo inválido"));
    }

    void argumentoComRegistroImpossivel() {
        // the log file cannot be written: the restore cannot even log its start
        criarBanco("pr_argumento", "(2,'Loja 2','N')");
        teste::EscreverIni(m_pasta.path(), "pr_argumento");
        QVERIFY(QDir(m_pasta.path()).mkpath("LOG_MARVEK.txt"));
        const auto fim = qScopeGuard([this] { QDir(arquivoLog()).removeRecursively(); });
        const QString argumento = m_pasta.filePath("x/Backup_Central.zip");
        TfrmPrincipal janela({argumento});
        QCOMPARE(dialogos::Mostradas().size(), 1);
        QCOMPARE(dialogos::Mostradas().first().tipo, dialogos::Tipo::ErroPadrao);
        QVERIFY2(dialogos::Mostradas().first().texto.contains("LOG_MARVEK.txt"),
                 qPrintable(dialogos::Mostradas().first().texto));
        QVERIFY(!janela.Encerrado());
        QVERIFY(!janela.ModoBackup());
        QVERIFY(!Controle<QWidget>(janela, "rbtnBackup")->isEnabled());
        QCOMPARE(janela.Arquivo(), argumento);
        // nothing of the restore ran
        QCOMPARE(teste::Linhas("SHOW TABLES FROM pr_argumento"), QStringList("filial"));
    }

    void trocaDeModoETeclas() {
        TfrmPrincipal janela({});
        mostrar(janela);
        auto* filiais = Controle<QComboBox>(janela, "cbxFiliais");
        auto* diretorio = Controle<QLineEdit>(janela, "txtDiretorio");
        auto* arquivo = Controle<QLineEdit>(janela, "txtArquivo");
        auto* manutencao = Controle<QWidget>(janela, "SpeedButton1");
        auto* rotulo = Controle<QLabel>(janela, "lblDiretorio");
        diretorio->setText("/dados/destino ");

        // backup mode: the list can be changed, Ctrl+F2 does nothing
        filiais->setFocus();
        QTest::keyClick(filiais, Qt::Key_Down);
        QCOMPARE(filiais->currentIndex(), 1);
        QCOMPARE(filiais->toolTip(), QString("3"));
        QTest::keyClick(filiais, Qt::Key_F2, Qt::ControlModifier);
        QVERIFY(manutencao->isHidden());

        QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnRestore"), Qt::LeftButton);
        QVERIFY(!janela.ModoBackup());
        QCOMPARE(rotulo->text(), QString("Origem do Backup"));
        QVERIFY(arquivo->isVisible());
        QVERIFY(manutencao->isHidden());
        // read-only: the keyboard no longer changes the selection, which still shows
        QTest::keyClick(filiais, Qt::Key_Up);
        QTest::keyClick(filiais, Qt::Key_Down);
        QCOMPARE(filiais->currentIndex(), 1);
        QCOMPARE(janela.FilialSelecionada(), QString("3"));

        // Ctrl+F2 anywhere in the window flips the maintenance button; other modifiers do not
        // matter, F2 alone does nothing
        QTest::keyClick(arquivo, Qt::Key_F2, Qt::ControlModifier);
        QVERIFY(!manutencao->isHidden());
        QTest::keyClick(filiais, Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(manutencao->isHidden());
        QTest::keyClick(arquivo, Qt::Key_F2, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!manutencao->isHidden());
        QTest::keyClick(arquivo, Qt::Key_F2);
        QVERIFY(!manutencao->isHidden());

        // back to backup: the folder text is as it was, the maintenance button hidden again
        QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnBackup"), Qt::LeftButton);
        QVERIFY(janela.ModoBackup());
        QCOMPARE(rotulo->text(), QString("Destino do Backup"));
        QVERIFY(arquivo->isHidden());
        QVERIFY(diretorio->isVisible());
        QCOMPARE(janela.Diretorio(), QString("/dados/destino "));
        QVERIFY(manutencao->isHidden());
        QTest::keyClick(filiais, Qt::Key_Down);
        QCOMPARE(filiais->currentIndex(), 2);

        QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnRestore"), Qt::LeftButton);
        QVERIFY(manutencao->isHidden());
        QVERIFY(dialogos::Mostradas().isEmpty());
    }

    void validacoes() {
        TfrmPrincipal janela({});
        mostrar(janela);
        auto* filiais = Controle<QComboBox>(janela, "cbxFiliais");
        auto* diretorio = Controle<QLineEdit>(janela, "txtDiretorio");
        auto* arquivo = Controle<QLineEdit>(janela, "txtArquivo");
        auto* iniciar = Controle<QPushButton>(janela, "btnIniciar");

        // the start handler has switched the controls off; a failing check switches them on,
        // puts the focus where the input is missing and raises its message
        const auto falha = [&](QWidget* foco) -> QString {
            janela.AlternarControles();
            if (iniciar->isEnabled())
                return "controls were not switched off";
            QString mensagem = "no error";
            try {
                janela.ValidarEntradas(janela.Entradas());
            } catch (const EErro& e) {
                mensagem = e.Mensagem();
            }
            if (ativos(janela) != OITO_CONTROLES)
                return "controls still off";
            if (janela.focusWidget() != foco)
                return "focus on " + (janela.focusWidget() ? janela.focusWidget()->objectName()
                                                           : QString("nothing"));
            return mensagem;
        };

        // the folder is checked after the branch
        filiais->setCurrentIndex(-1);
        dialogos::AtivarTeste(true);
        QCOMPARE(falha(filiais), QString("Nenhuma filial selecionada"));
        filiais->setCurrentIndex(0);
        QCOMPARE(falha(diretorio), QString("Nenhum diretório selecionado"));
        // blanks count as text; nothing looks at whether the folder exists
        diretorio->setText("  ");
        janela.ValidarEntradas(janela.Entradas());
        QCOMPARE(ativos(janela), OITO_CONTROLES);

        QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnRestore"), Qt::LeftButton);
        diretorio->clear();
        QCOMPARE(falha(arquivo), QString("Nenhum arquivo selecionado"));
        arquivo->setText(m_pasta.filePath("nao_existe/Backup_Central.zip"));
        janela.ValidarEntradas(janela.Entradas());
        QVERIFY(dialogos::Mostradas().isEmpty());
    }

    void entradasFaltandoPeloBotao() {
        prepararOperacao();
        TfrmPrincipal janela({});
        mostrar(janela);
        auto* filiais = Controle<QComboBox>(janela, "cbxFiliais");
        auto* iniciar = Controle<QWidget>(janela, "btnIniciar");
        const QString prefixo = "ErroPadrao: Ocorreu o seguinte erro: \r\r";

        filiais->setCurrentIndex(-1);
        dialogos::AtivarTeste(true);
        Controle<QLineEdit>(janela, "txtDiretorio")->setText(m_pasta.filePath("destino"));
        QTest::mouseClick(iniciar, Qt::LeftButton);
        QCOMPARE(dialogos::Resumo(), QStringList(prefixo + "Nenhuma filial selecionada"));
        QCOMPARE(ativos(janela), OITO_CONTROLES);
        QCOMPARE(janela.focusWidget(), filiais);

        filiais->setCurrentIndex(0);
        Controle<QLineEdit>(janela, "txtDiretorio")->clear();
        dialogos::AtivarTeste(true);
        QTest::keyClick(filiais, Qt::Key_Return);
        QCOMPARE(dialogos::Resumo(), QStringList(prefixo + "Nenhum diretório selecionado"));
        QCOMPARE(ativos(janela), OITO_CONTROLES);
        QCOMPARE(janela.focusWidget(), Controle<QWidget>(janela, "txtDiretorio"));

        QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnRestore"), Qt::LeftButton);
        dialogos::AtivarTeste(true);
        QTest::mouseClick(iniciar, Qt::LeftButton);
        QCOMPARE(dialogos::Resumo(), QStringList(prefixo + "Nenhum arquivo selecionado"));
        QCOMPARE(ativos(janela), OITO_CONTROLES);
        QCOMPARE(janela.focusWidget(), Controle<QWidget>(janela, "txtArquivo"));
        // the checks ended the restore before it touched the database
        QCOMPARE(teste::Linhas("SHOW TABLES FROM pr_operacao"), QStringList("filial"));
    }

    void ofertaDePreValidacao() {
        {
            TfrmPrincipal janela({});
            dialogos::Responder(false);
            janela.show();
            QVERIFY(QTest::qWaitForWindowExposed(&janela));
            QCOMPARE(dialogos::Mostradas().size(), 1);
            const auto pergunta = dialogos::Mostradas().first();
            QCOMPARE(pergunta.tipo, dialogos::Tipo::Pergunta);
            QCOMPARE(pergunta.texto, QString("Deseja efetuar a pré-validação?"));
            QCOMPARE(pergunta.titulo, QString("Confirmação..."));
            QVERIFY(pergunta.simPadrao);
        }
        {
            // restore-only start: restore mode, nothing is offered
            teste::EscreverIni(m_pasta.path(), "pr_nao_existe");
            dialogos::AtivarTeste(true);
            TfrmPrincipal janela({});
            janela.show();
            QVERIFY(QTest::qWaitForWindowExposed(&janela));
            QVERIFY(dialogos::Mostradas().isEmpty());
        }
    }

    void semFilialViva() {
        criarBanco("pr_sem_viva", "(4,'Fechada','S')");
        teste::EscreverIni(m_pasta.path(), "pr_sem_viva");
        TfrmPrincipal janela({});
        mostrar(janela);
        auto* filiais = Controle<QComboBox>(janela, "cbxFiliais");
        QCOMPARE(filiais->count(), 0);
        QCOMPARE(filiais->currentIndex(), -1);
        QCOMPARE(filiais->toolTip(), QString("Informe a filial a ser adicionada no campo "
                                             "lojas_leram"));
        QVERIFY(janela.ModoBackup());
        QVERIFY(Controle<QWidget>(janela, "rbtnBackup")->isEnabled());
        // a backup then stops at its input check
        Controle<QLineEdit>(janela, "txtDiretorio")->setText(m_pasta.filePath("destino"));
        QTest::mouseClick(Controle<QWidget>(janela, "btnIniciar"), Qt::LeftButton);
        QCOMPARE(
            dialogos::Resumo(),
            QStringList("ErroPadrao: Ocorreu o seguinte erro: \r\rNenhuma filial selecionada"));
        QCOMPARE(ativos(janela), OITO_CONTROLES);
    }

    void umaOperacaoDeCadaVez() {
        prepararOperacao();
        TfrmPrincipal janela({});
        mostrar(janela);
        QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnRestore"), Qt::LeftButton);
        Controle<QLineEdit>(janela, "txtArquivo")
            ->setText(m_pasta.filePath("op/Backup_Central.zip"));

        // Enter and a second click arrive while the restore lets messages through
        QCoreApplication::postEvent(Controle<QWidget>(janela, "txtArquivo"),
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, {}));
        QCoreApplication::postEvent(&janela, new QKeyEvent(QEvent::KeyPress, Qt::Key_Enter, {}));
        janela.btnIniciarClick();
        QCOMPARE(linhasSemHora(janela).count("Inicio Restore"), 1);
        QCOMPARE(linhasSemHora(janela).first(), QString("Inicio Restore"));
        QCOMPARE(linhasSemHora(janela).last(), QString("Fim Restore"));

        // once it has ended, Enter anywhere in the window starts the next one
        QTest::keyClick(&janela, Qt::Key_Return);
        QCOMPARE(linhasSemHora(janela).count("Inicio Restore"), 2);
        QVERIFY(!janela.Encerrado());

        // another run holds the database (a scheduled backup): refused at once, and every
        // control comes back
        TDM outra;
        outra.AbrirConexao("localhost", QString(), "root", "", 3306);
        QCOMPARE(outra.ConsultarValor("SELECT GET_LOCK('marvek.pr_operacao', 0)", 0).toInt(), 1);
        teste::EscreverIni(m_pasta.path(), "pr_operacao", "2");
        const QStringList antes = ativos(janela);
        janela.btnIniciarClick();
        QVERIFY2(!dialogos::Mostradas().isEmpty() &&
                     dialogos::Mostradas().last().texto.contains("Outra execução do Marvek"),
                 qPrintable(dialogos::Resumo().join(" / ")));
        QCOMPARE(ativos(janela), antes);
    }

    void encerramento() {
        {
            TfrmPrincipal janela({});
            mostrar(janela);
            QSignalSpy encerrado(&janela, &TfrmPrincipal::ProgramaEncerrado);
            QTest::keyClick(Controle<QWidget>(janela, "txtDiretorio"), Qt::Key_Escape);
            QCOMPARE(encerrado.count(), 1);
            QVERIFY(janela.Encerrado());
            QVERIFY(!janela.isVisible());
        }
        {
            TfrmPrincipal janela({});
            mostrar(janela);
            QSignalSpy encerrado(&janela, &TfrmPrincipal::ProgramaEncerrado);
            QTest::mouseClick(Controle<QWidget>(janela, "btnCancelar"), Qt::LeftButton);
            QCOMPARE(encerrado.count(), 1);
            QVERIFY(!janela.isVisible());
            QVERIFY(dialogos::Mostradas().isEmpty());
        }
        {
            // Esc and the close box during an operation: the operation stops at its next check,
            // unwinds like a failure and says so; the program ends as soon as it returns
            prepararOperacao();
            TfrmPrincipal janela({});
            mostrar(janela);
            QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnRestore"), Qt::LeftButton);
            Controle<QLineEdit>(janela, "txtArquivo")
                ->setText(m_pasta.filePath("op/Backup_Central.zip"));
            QSignalSpy encerrado(&janela, &TfrmPrincipal::ProgramaEncerrado);
            QCoreApplication::postEvent(&janela,
                                        new QKeyEvent(QEvent::KeyPress, Qt::Key_Escape, {}));
            QCoreApplication::postEvent(&janela, new QCloseEvent);
            QTest::mouseClick(Controle<QWidget>(janela, "btnIniciar"), Qt::LeftButton);
            QCOMPARE(linhasSemHora(janela).last(), QString("Fim Restore"));
            QVERIFY(linhasSemHora(janela).contains(
                QString::fromUtf8("Interrompido: a janela foi fechada durante a operação")));
            QVERIFY(dialogos::Mostradas().value(0).texto.contains("a janela foi fechada"));
            QCOMPARE(encerrado.count(), 1);
            QVERIFY(janela.Encerrado());
            QVERIFY(!janela.isVisible());
        }
    }

    void registroDaOperacao() {
        {
            QFile f(arquivoLog());
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write("execucao anterior\r\n");
        }
        TfrmPrincipal janela({});
        QFile f(arquivoLog());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), QByteArray("execucao anterior\r\n"));
        f.close();

        janela.GravarLog("Inicio Restore");
        janela.GravarLog("Restauração");
        janela.GravarLog("UPDATE caixa SET lojas_leram = \"*2C\"");
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        const QRegularExpression forma(
            "^(\\d\\d:\\d\\d:\\d\\d) -> Inicio Restore\r\n"
            "(\\d\\d:\\d\\d:\\d\\d) -> Restaura\\x{e7}\\x{e3}o\r\n"
            "(\\d\\d:\\d\\d:\\d\\d) -> UPDATE caixa SET lojas_leram = \"\\*2C\"\r\n$");
        QVERIFY2(forma.match(QString::fromLatin1(bytes)).hasMatch(), bytes.constData());
        QByteArray esperado;
        for (const QString& l : janela.Log().Linhas())
            esperado += l.toLatin1() + "\r\n";
        QCOMPARE(bytes, esperado);
        QCOMPARE(bytes.count('\n'), 3);
    }

    void falhaDoRegistro() {
        prepararOperacao();
        TfrmPrincipal janela({});
        mostrar(janela);
        QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnRestore"), Qt::LeftButton);
        Controle<QLineEdit>(janela, "txtArquivo")
            ->setText(m_pasta.filePath("op/Backup_Central.zip"));
        // a program folder that does not exist: "Inicio Restore" cannot be written
        DefinirPastaDoPrograma(m_pasta.filePath("sumiu"));
        QTest::mouseClick(Controle<QWidget>(janela, "btnIniciar"), Qt::LeftButton);
        QCOMPARE(dialogos::Mostradas().size(), 1);
        QCOMPARE(dialogos::Mostradas().first().tipo, dialogos::Tipo::ErroPadrao);
        QVERIFY2(dialogos::Mostradas().first().texto.contains("LOG_MARVEK.txt"),
                 qPrintable(dialogos::Mostradas().first().texto));
        // the window goes on: the next start runs, and writes the line kept from before
        DefinirPastaDoPrograma(m_pasta.path());
        janela.btnIniciarClick();
        QCOMPARE(linhasSemHora(janela).mid(0, 2),
                 QStringList({"Inicio Restore", "Inicio Restore"}));
        QFile f(arquivoLog());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll().count(" -> Inicio Restore\r\n"), 2);
        f.close();

        // a log that cannot be written in a folder that can: the run that failed before it
        // began has its history line, as failed, beside the error box
        QVERIFY(QFile::remove(arquivoLog()) && QDir().mkdir(arquivoLog()));
        const auto semPasta = qScopeGuard([this] { QDir().rmdir(arquivoLog()); });
        QFile::remove(m_pasta.filePath("LOG_MARVEK_historico.txt"));
        QTest::mouseClick(Controle<QWidget>(janela, "btnIniciar"), Qt::LeftButton);
        QFile h(m_pasta.filePath("LOG_MARVEK_historico.txt"));
        QVERIFY(h.open(QIODevice::ReadOnly));
        const QString linha = QString::fromUtf8(h.readLine());
        QVERIFY2(linha.contains("restauração") && linha.contains("falhou: ") &&
                     linha.contains("LOG_MARVEK.txt") && linha.contains("saída 1"),
                 qPrintable(linha));
        QVERIFY(Controle<QWidget>(janela, "btnIniciar")->isEnabled());
    }

    void barraDeProgresso() {
        TfrmPrincipal janela({});
        auto* barra = Controle<QProgressBar>(janela, "ProgressBar");
        QCOMPARE(janela.PosicaoProgresso(), 0);
        // the restore moves the bar without a maximum of its own: it stops at the end
        for (int i = 1; i <= 105; ++i)
            janela.DefinirPosicaoProgresso(janela.PosicaoProgresso() + 1);
        QCOMPARE(janela.PosicaoProgresso(), 100);
        janela.DefinirMaximoProgresso(3);
        QCOMPARE(janela.PosicaoProgresso(), 3);
        janela.DefinirPosicaoProgresso(-2);
        QCOMPARE(janela.PosicaoProgresso(), 0);
        // a backup of no table: an empty bar, not a busy one
        janela.DefinirMaximoProgresso(0);
        QVERIFY(barra->maximum() > barra->minimum());
        janela.DefinirPosicaoProgresso(1);
        QCOMPARE(janela.PosicaoProgresso(), 0);
    }

    void seletores() {
        TfrmPrincipal janela({});
        mostrar(janela);
        auto* diretorio = Controle<QLineEdit>(janela, "txtDiretorio");
        QVERIFY(QDir(m_pasta.path()).mkpath("destino"));
        const QString destino = m_pasta.filePath("destino");

        QString pastaInicial, escolhida = destino;
        bool soPastas = false;
        const auto responder = [&] {
            QTimer::singleShot(0, this, [&] {
                auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
                if (!d)
                    return;
                pastaInicial = d->directory().absolutePath();
                soPastas = d->fileMode() == QFileDialog::Directory;
                if (escolhida.isEmpty()) {
                    d->reject();
                } else {
                    d->setDirectory(escolhida);
                    d->selectFile(escolhida);
                    static_cast<QDialog*>(d)->accept();
                }
            });
        };
        // Ctrl+A in the folder field opens the folder picker in the user's folder (the
        // program's folder is /usr/bin once installed)
        responder();
        diretorio->setFocus();
        QTest::keyClick(diretorio, Qt::Key_A, Qt::ControlModifier);
        QVERIFY(soPastas);
        QCOMPARE(QDir(pastaInicial), QDir(QDir::homePath()));
        QCOMPARE(diretorio->text(), QDir::toNativeSeparators(destino));
        // cancelled: the text stays
        escolhida.clear();
        responder();
        diretorio->findChild<QAction*>("actProcurarDiretorio")->trigger();
        QCOMPARE(QDir(pastaInicial), QDir(destino));
        QCOMPARE(diretorio->text(), QDir::toNativeSeparators(destino));

        // the archive field's picker: zip files, ".zip" added to a bare name
        QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnRestore"), Qt::LeftButton);
        auto* arquivo = Controle<QLineEdit>(janela, "txtArquivo");
        QStringList filtros;
        QString sufixo;
        QTimer::singleShot(0, this, [&] {
            auto* d = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
            if (!d)
                return;
            pastaInicial = d->directory().absolutePath();
            filtros = d->nameFilters();
            sufixo = d->defaultSuffix();
            d->setDirectory(destino);
            d->selectFile("Backup_Central");
            static_cast<QDialog*>(d)->accept();
        });
        arquivo->findChild<QAction*>("actProcurarArquivo")->trigger();
        QCOMPARE(filtros, QStringList("Arquivos Zip (*.zip)"));
        QCOMPARE(sufixo, QString("zip"));
        QCOMPARE(QDir(pastaInicial), QDir(QDir::homePath()));
        QCOMPARE(arquivo->text(), QDir::toNativeSeparators(destino + "/Backup_Central.zip"));
    }

    void botoesDeImagem() {
        TfrmPrincipal janela({});
        mostrar(janela);
        QString aberta;
        QWidget* dono = nullptr;
        const auto fecharAoAbrir = [&] {
            QTimer::singleShot(0, this, [&] {
                QWidget* modal = QApplication::activeModalWidget();
                if (!modal)
                    return;
                aberta = modal->metaObject()->className();
                dono = modal->parentWidget();
                modal->close();
            });
        };
        // the about button opens the about window over the main window
        fecharAoAbrir();
        QTest::mouseClick(Controle<QWidget>(janela, "btnAjuda"), Qt::LeftButton);
        QCOMPARE(aberta, QString("marvek::TfrmAjuda"));
        QCOMPARE(dono, &janela);

        // the maintenance button, shown with Ctrl+F2, opens the login window
        TFLogin::DefinirEncerramento([] {});
        const auto fim = qScopeGuard([] { TFLogin::DefinirEncerramento({}); });
        QTest::mouseClick(Controle<QRadioButton>(janela, "rbtnRestore"), Qt::LeftButton);
        QTest::keyClick(&janela, Qt::Key_F2, Qt::ControlModifier);
        TConfiguracoes* antes = janela.Configuracoes();
        aberta.clear();
        fecharAoAbrir();
        QTest::mouseClick(Controle<QWidget>(janela, "SpeedButton1"), Qt::LeftButton);
        QCOMPARE(aberta, QString("marvek::TFLogin"));
        QCOMPARE(dono, &janela);
        // no login, no change of the options
        QCOMPARE(janela.Configuracoes(), antes);
    }

    void exibicaoGeralDeErros() {
        TJanelaComFalha janela;
        auto* campo = new QLineEdit(&janela);
        auto* botao = new QPushButton("b", &janela);
        botao->move(0, 40);
        int cliques = 0;
        connect(botao, &QPushButton::clicked, this, [&] {
            ++cliques;
            throw EErro("Falha no clique");
        });
        janela.show();
        QVERIFY(QTest::qWaitForWindowActive(&janela));

        janela.aoTeclar = [] { throw EErro("Falha na tecla"); };
        QTest::keyClick(&janela, Qt::Key_X);
        janela.aoTeclar = [] { throw std::runtime_error("falha da biblioteca"); };
        QTest::keyClick(&janela, Qt::Key_X);
        janela.aoTeclar = [] { throw EAbortar(); };
        QTest::keyClick(&janela, Qt::Key_X);
        QTest::mouseClick(botao, Qt::LeftButton);
        QTest::mouseClick(botao, Qt::LeftButton);
        QCOMPARE(cliques, 2);
        QCOMPARE(dialogos::Resumo(),
                 QStringList({"ErroPadrao: Falha na tecla", "ErroPadrao: falha da biblioteca",
                              "ErroPadrao: Falha no clique", "ErroPadrao: Falha no clique"}));
        for (const auto& c : dialogos::Mostradas())
            QCOMPARE(c.titulo, QString("Error"));
        // the window stays usable
        QTest::keyClicks(campo, "ok");
        QCOMPARE(campo->text(), QString("ok"));
        QVERIFY(janela.isVisible());
    }

    // Qt's own buttons speak the user's language once its translations are loaded.
    void botoesDoQtNaLinguaDoUsuario() {
        const QLocale antes;
        QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
        QTranslator* tradutor = CarregarTraducoes();
        QMessageBox caixa;
        const QString sim = caixa.addButton(QMessageBox::Yes)->text().remove('&');
        const QString nao = caixa.addButton(QMessageBox::No)->text().remove('&');
        if (tradutor) {
            QCoreApplication::removeTranslator(tradutor);
            delete tradutor;
        }
        QLocale::setDefault(antes);
        QVERIFY2(tradutor, "no qtbase_pt_BR.qm: is qt6-translations-l10n installed?");
        QCOMPARE(sim, QString("Sim"));
        QCOMPARE(nao, QString("Não"));

        // The program's own boxes name them in Portuguese under any locale, translations or
        // not.
        QLocale::setDefault(QLocale::c());
        QMessageBox pergunta(QMessageBox::Question, "t", "x", QMessageBox::Yes | QMessageBox::No);
        NomearBotoes(pergunta);
        QLocale::setDefault(antes);
        QCOMPARE(pergunta.button(QMessageBox::Yes)->text(), QString("&Sim"));
        QCOMPARE(pergunta.button(QMessageBox::No)->text(), QString("&Não"));
    }
};

int main(int argc, char** argv) {
    TAplicacao aplicacao(argc, argv);
    TstPrincipal teste;
    return QTest::qExec(&teste, argc, argv);
}

#include "tst_principal.moc"

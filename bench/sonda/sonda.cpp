// marvek-sonda: the window's responsiveness while the archive is written (backup) or unpacked
// (restore).
//
//   marvek-sonda PASTA backup FILIAL DESTINO
//   marvek-sonda PASTA restaurar ARQUIVO
//
// PASTA is the program folder (settings and log). The operation runs in the real main window
// with every message box answered Yes and shown nowhere; a 5 ms timer of the window's thread
// notes each pass of its message processing. The step measured runs from the progress position
// 45 to 80 that follows the copy loop in a backup, and from "Inicio Validacao" to "Fim Validacao"
// in a restore (the archive check and the unpacking). Prints one tab-separated line:
//   sonda  backup|restaurar  largest-gap-ms  step-seconds  passes
// Exit status 0 when the operation reached the step's end, 1 otherwise.

#include "base/Pastas.h"
#include "data/TDM.h"
#include "gui/Dialogos.h"
#include "gui/TfrmPrincipal.h"

#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QRadioButton>
#include <QTimer>
#include <algorithm>
#include <cstdio>

using namespace marvek;

namespace {

class TJanelaSondada : public TfrmPrincipal {
public:
    using TfrmPrincipal::TfrmPrincipal;

    void GravarLog(const QString& texto) override {
        TfrmPrincipal::GravarLog(texto);
        if (ModoBackup())
            return;
        if (texto == QLatin1String("Inicio Validacao"))
            iniciar();
        else if (texto == QLatin1String("Fim Validacao"))
            terminar();
    }

protected:
    void MostrarProgresso(const TProgresso& p) override {
        TfrmPrincipal::MostrarProgresso(p);
        if (p.mudanca != TProgresso::Barra)
            return;
        const int posicao = p.posicao;
        const int anterior = m_posicao;
        m_posicao = posicao;
        if (!ModoBackup())
            return;
        // the copy loop passes these positions too; the archive step is the 0, 45 after it
        if (posicao == 45 && anterior == 0)
            iniciar();
        else if (posicao == 80)
            terminar();
    }

public:
    void Passagem() {
        if (!m_medindo)
            return;
        anotarIntervalo();
        ++m_passagens;
    }

    bool Medido() const { return m_medido; }
    qint64 MaiorIntervaloMs() const { return m_maior / 1000000; }
    double DuracaoS() const { return static_cast<double>(m_duracao) / 1e9; }
    int Passagens() const { return m_passagens; }

private:
    void iniciar() {
        m_relogio.start();
        m_ultima = 0;
        m_maior = 0;
        m_passagens = 0;
        m_medindo = true;
    }
    void terminar() {
        if (!m_medindo)
            return;
        anotarIntervalo();
        m_duracao = m_relogio.nsecsElapsed();
        m_medindo = false;
        m_medido = true;
    }
    void anotarIntervalo() {
        const qint64 agora = m_relogio.nsecsElapsed();
        m_maior = std::max(m_maior, agora - m_ultima);
        m_ultima = agora;
    }

    QElapsedTimer m_relogio;
    qint64 m_ultima = 0;
    qint64 m_maior = 0;
    qint64 m_duracao = 0;
    int m_passagens = 0;
    int m_posicao = 0;
    bool m_medindo = false;
    bool m_medido = false;
};

int uso() {
    std::fputs("uso: marvek-sonda PASTA backup FILIAL DESTINO\n"
               "     marvek-sonda PASTA restaurar ARQUIVO\n",
               stderr);
    return 2;
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication aplicacao(argc, argv);
    const QStringList args = aplicacao.arguments().mid(1);
    const bool backup = args.size() == 4 && args[1] == QLatin1String("backup");
    const bool restaurar = args.size() == 3 && args[1] == QLatin1String("restaurar");
    if (!backup && !restaurar)
        return uso();
    DefinirPastaDoPrograma(args[0]);
    dialogos::AtivarTeste(true);
    DM();

    TJanelaSondada janela(QStringList{});
    janela.CriarJanelas();
    QTimer relogio;
    relogio.setTimerType(Qt::PreciseTimer);
    QObject::connect(&relogio, &QTimer::timeout, [&janela] { janela.Passagem(); });
    relogio.start(5);

    if (backup) {
        auto* filiais = janela.findChild<QComboBox*>(QStringLiteral("cbxFiliais"));
        int indice = -1;
        for (int i = 0; filiais && i < filiais->count() && indice < 0; ++i)
            if (filiais->itemData(i).toString() == args[2])
                indice = i;
        if (indice < 0) {
            std::fprintf(stderr, "marvek-sonda: filial %s não está na lista\n",
                         qPrintable(args[2]));
            return 1;
        }
        filiais->setCurrentIndex(indice);
        janela.findChild<QLineEdit*>(QStringLiteral("txtDiretorio"))->setText(args[3]);
    } else {
        janela.findChild<QRadioButton*>(QStringLiteral("rbtnRestore"))->click();
        janela.findChild<QLineEdit*>(QStringLiteral("txtArquivo"))->setText(args[2]);
    }
    janela.btnIniciarClick();

    for (const dialogos::Caixa& c : dialogos::Mostradas())
        std::fprintf(stderr, "caixa: %s\n", qPrintable(c.texto));
    std::printf("sonda\t%s\t%lld\t%.2f\t%d\n", backup ? "backup" : "restaurar",
                static_cast<long long>(janela.MaiorIntervaloMs()), janela.DuracaoS(),
                janela.Passagens());
    return janela.Medido() ? 0 : 1;
}

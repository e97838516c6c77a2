#include "cli/TOperadorConsole.h"

#include "base/Texto.h"
#include "plataforma/Parada.h"

#include <QCoreApplication>
#include <cstdio>
#include <unistd.h>

namespace marvek {

QString TextoConsole(const QString& texto) {
    QString t = QuebrasDeLinha(texto);
    if (!t.endsWith(QLatin1Char('\n')))
        t += QLatin1Char('\n');
    return t;
}

namespace {
void escrever(std::FILE* f, const QString& texto) {
    const QByteArray dados = texto.toUtf8();
    std::fwrite(dados.constData(), 1, static_cast<size_t>(dados.size()), f);
    std::fflush(f);
}
} // namespace

void EscreverSaida(const QString& texto) {
    escrever(stdout, texto);
}

void EscreverErro(const QString& texto) {
    escrever(stderr, texto);
}

TOperadorConsole::TOperadorConsole() : m_terminal(::isatty(STDERR_FILENO) == 1) {}

TOperadorConsole::~TOperadorConsole() {
    TerminarProgresso();
}

void TOperadorConsole::MostrarProgresso(const TProgresso& p) {
    if (p.mudanca == TProgresso::Faixa || p.mudanca == TProgresso::Barra)
        return; // the bar is the window's; the console counts a phase's tables
    if (p.mudanca == TProgresso::Fase) {
        m_log.Sincronizar(); // the step before this one is on the disk
        TerminarProgresso();
        m_decimoMostrado = -1;
        m_ultimaLinha.invalidate();
    }
    if (p.fase.isEmpty() || Silencioso)
        return;
    QString linha = p.fase;
    int decimo = 0;
    if (p.total > 0) {
        const int feitas = qBound(0, p.feitas, p.total);
        linha += QStringLiteral(": %1 de %2 tabelas").arg(feitas).arg(p.total);
        decimo = feitas * 10 / p.total;
    }
    if (m_terminal) {
        EscreverErro(QStringLiteral("\r\033[K") + linha);
        m_linhaDesenhada = true;
        return;
    }
    // A phase without a count says itself once.
    if (m_ultimaLinha.isValid() && decimo == m_decimoMostrado &&
        (p.total == 0 || !m_ultimaLinha.hasExpired(5000)))
        return;
    EscreverErro(linha + QLatin1Char('\n'));
    m_decimoMostrado = decimo;
    m_ultimaLinha.start();
}

void TOperadorConsole::TerminarProgresso() {
    if (!m_linhaDesenhada)
        return;
    EscreverErro(QStringLiteral("\r\033[K"));
    m_linhaDesenhada = false;
}

void TOperadorConsole::GravarLog(const QString& texto) {
    m_log.GravarLog(texto);
}

void TOperadorConsole::informar(const QString& texto) {
    if (Silencioso)
        return;
    if (Json)
        EscreverErro(texto);
    else
        EscreverSaida(texto);
}

bool TOperadorConsole::Confirmar(const QString& texto, bool simPadrao, const QString& titulo) {
    Q_UNUSED(simPadrao);
    Q_UNUSED(titulo);
    TerminarProgresso();
    if (!Resposta && PerguntarNoTerminal) {
        // Asked of the person at the terminal; without one the answer is no.
        if (::isatty(STDIN_FILENO) != 1) {
            EscreverErro(
                TextoConsole(texto) +
                QStringLiteral("Resposta: Não (sem terminal para perguntar; use --sim)\n"));
            return false;
        }
        EscreverErro(TextoConsole(texto) + QStringLiteral("[s/N] "));
        char linha[16] = {};
        const bool lida = std::fgets(linha, sizeof linha, stdin) != nullptr;
        VerificarParada(); // Ctrl-C at the question is a stop, not a no
        return lida && (linha[0] == 's' || linha[0] == 'S');
    }
    informar(TextoConsole(texto) +
             (Resposta ? QStringLiteral("Resposta: Sim\n") : QStringLiteral("Resposta: Não\n")));
    return Resposta;
}

void TOperadorConsole::MostrarCaixa(TCaixa tipo, const QString& texto) {
    TerminarProgresso();
    // Information goes to stdout; errors and warnings to stderr, saying who says them. The
    // plain box only ever reports a file that could not be deleted ("Erro ao excluir").
    if (tipo == TCaixa::Informacao)
        informar(TextoConsole(texto));
    else
        EscreverErro(QStringLiteral("marvek-cli: ") + TextoConsole(texto));
}

void TOperadorConsole::ProcessarMensagens() {
    QCoreApplication::processEvents();
    VerificarParada(); // SIGINT or SIGTERM unwinds the run from here
}

} // namespace marvek

#include "cli/TOperadorConsole.h"

#include "base/Texto.h"

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

TEntradas TOperadorConsole::Entradas() const {
    TEntradas e;
    e.backup = Backup;
    e.filial = Filial;
    e.diretorio = Pasta;
    e.arquivo = ArquivoZip;
    e.opcoes = &Opcoes;
    e.conexoes = NumeroConexoes;
    return e;
}

void TOperadorConsole::DefinirMaximoProgresso(int maximo) {
    m_maximo = maximo;
    desenharProgresso();
}

void TOperadorConsole::DefinirPosicaoProgresso(int posicao) {
    m_posicao = posicao;
    desenharProgresso();
}

void TOperadorConsole::desenharProgresso() {
    if (!m_terminal)
        return;
    QString linha = QStringLiteral("\r\033[KProgresso: ") + QString::number(m_posicao);
    if (m_maximo > 0)
        linha += QStringLiteral(" de ") + QString::number(m_maximo);
    EscreverErro(linha);
    m_linhaDesenhada = true;
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

bool TOperadorConsole::Confirmar(const QString& texto, bool simPadrao, const QString& titulo) {
    Q_UNUSED(simPadrao);
    Q_UNUSED(titulo);
    TerminarProgresso();
    EscreverSaida(TextoConsole(texto) + (Resposta ? QStringLiteral("Resposta: Sim\n")
                                                  : QStringLiteral("Resposta: Não\n")));
    return Resposta;
}

void TOperadorConsole::MostrarCaixa(TCaixa tipo, const QString& texto) {
    TerminarProgresso();
    // Information goes to stdout; errors and warnings to stderr. The plain box only ever
    // reports a file that could not be deleted ("Erro ao excluir").
    if (tipo == TCaixa::Informacao)
        EscreverSaida(TextoConsole(texto));
    else
        EscreverErro(TextoConsole(texto));
}

void TOperadorConsole::ProcessarMensagens() {
    QCoreApplication::processEvents();
}

} // namespace marvek

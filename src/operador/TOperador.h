#pragma once

#include "base/EErro.h"
#include "maintenance/TConfiguracoes.h"
#include "plataforma/Parada.h"

#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace marvek {

// The inputs of an operation, as the face holds them when the operation starts: one value,
// read once. The settings file is read once too, by the operation, right after the input check.
struct TEntradas {
    bool backup = true;
    QString filial;    // the branch key as text, may be empty
    QString diretorio; // destination folder, exactly as entered
    QString arquivo;   // archive path, exactly as entered
    // The maintenance options, a copy of the face's, or none.
    std::optional<TConfiguracoes> opcoes;
    // How many server connections the tables are worked on at once (1: one after another, on
    // the operation's own connection).
    int conexoes = 1;
    // Restore: only the checks, nothing changed.
    bool simular = false;
    // Restore: the folder in which the archive is unpacked (empty: beside the archive).
    QString pastaExtracao;
    // Restore of an archive made for another branch than the installation's: taken (true),
    // refused (false), or asked (nullopt).
    std::optional<bool> outraFilial;
};

// An input the operation needs and did not get, in the order they are checked.
enum class TCampo { Nenhum, Filial, Diretorio, Arquivo };

// The message boxes an operation shows.
enum class TCaixa {
    Erro,       // caption "Erro..."
    Alerta,     // caption "Alerta"
    Informacao, // information box, caption "Information"
    ErroPadrao, // standard error box, caption "Error"
    Mensagem,   // plain message box
};

// Where the running operation stands. Every change reaches the face as the whole value, with
// what changed: the window draws its bar from the bar's position and range, the console its
// lines from the phase and its count.
struct TProgresso {
    enum TMudanca {
        Fase,   // a phase began (the log's lines before it are on the disk)
        Tabela, // one more table of the phase is done
        Faixa,  // the bar's range was set
        Barra,  // the bar's position was set
    };
    TMudanca mudanca = Fase;
    QString fase;    // the phase under way, "" before the first
    int feitas = 0;  // its tables done, in listing order
    int total = 0;   // its tables; 0 for a phase without a count
    int posicao = 0; // the bar: its position as set (shown within 0..maximo)
    int maximo = 100;
    int PosicaoNaBarra() const { return qBound(0, posicao, maximo); }
};

// How an operation ended.
struct TResultado {
    enum TDesfecho {
        Concluida,    // it ran to its end (errors of single steps may have been shown on the way)
        Recusada,     // an input check refused it before anything was done
        Falhou,       // it stopped with an error
        Interrompida, // a stop was asked for (a signal, the window closed) and it unwound
    };
    TDesfecho desfecho = Concluida;
    // Every error text shown during the operation, in order, and every warning.
    QStringList erros;
    QStringList avisos;
    // Refused because another run holds the lock of the database or of the destination.
    bool ocupada = false;
    // Something of the installation (markers, tables, databases) may have been changed: set
    // when the operation passed its checks and began to change things.
    bool alterou = false;
    // The signal that stopped it (Interrompida), 0 for the window's stop.
    int sinal = 0;
    qint64 duracaoMs = 0;
    // What the run worked on, as far as it got: the branch, the working database, the archive
    // and its size, the tables, the aside database it made.
    QString filial;
    QString banco;
    QString arquivo;
    qint64 tamanhoArquivo = -1;
    int tabelas = -1;
    QString bancoReserva;

    bool Sucesso() const { return desfecho == Concluida && erros.isEmpty(); }
};

// The exit code a run ends with, the console's and the history's: 0 success, 1 failed or
// refused, 75 another run holds the lock (retry later), 128 + the signal when stopped by one
// (130 for the window's stop, as for Ctrl-C).
enum : int { SaidaOcupada = 75 };
int CodigoDeSaida(const TResultado& r);

// How a run ended that an error escaped (caught by its face): failed with that message, or
// stopped when a stop was asked for; with what the run had worked on (detalhes, whose negative
// duration is its start).
TResultado ResultadoDaFalha(TResultado detalhes, const QString& mensagem);

// Raised by the input check; the operation's handler shows it like any error and ends with
// TResultado::Recusada.
class EEntradaRecusada : public EErro {
public:
    using EErro::EErro;
};

// A failure that a step reports in a box of its own kind and text (the set-aside's "Erro..."
// box) instead of the standard error box; the operation ends as failed.
class EFalhaDeEtapa : public EErro {
public:
    EFalhaDeEtapa(TCaixa caixa, QString texto) : EErro(std::move(texto)), m_caixa(caixa) {}
    TCaixa Caixa() const { return m_caixa; }

private:
    TCaixa m_caixa;
};

// What an operation needs from whoever drives it: the main window, the console front end or a
// test. An operation never touches a widget; it reads its inputs, moves the progress bar, logs
// and talks to the user only through this seam.
class TOperador {
public:
    virtual ~TOperador() = default;

    // The inputs, read once at the operation's start.
    virtual TEntradas Entradas() const = 0;

    // Checks the inputs in the order of TCampo. The first missing one is passed to
    // EntradaRecusada (a window puts its controls back and moves the focus to the field) and
    // raised as EEntradaRecusada with its message.
    void ValidarEntradas(const TEntradas& entradas);

    // The progress, reported to the face through MostrarProgresso. The bar: its range (a
    // negative maximum counts as 0) and its position (outside the range it stops at the nearer
    // end). A phase: its name and tables (or 0); AvancarFase, one more of them is done.
    void DefinirMaximoProgresso(int maximo);
    void DefinirPosicaoProgresso(int posicao);
    int PosicaoProgresso() const { return m_progresso.PosicaoNaBarra(); }
    void IniciarFase(const QString& fase, int total);
    void AvancarFase();
    const TProgresso& Progresso() const { return m_progresso; }

    // The operation log: one line, with the time added.
    virtual void GravarLog(const QString& texto) = 0;

    // A message box of the given kind. The texts of error boxes (every kind but Alerta and
    // Informacao) are kept for the operation's result.
    void Mostrar(TCaixa tipo, const QString& texto);
    // A Yes/No question; true when answered Yes.
    virtual bool Confirmar(const QString& texto, bool simPadrao, const QString& titulo) = 0;

    // Lets pending window messages be processed.
    virtual void ProcessarMensagens() = 0;

    // Starts a program without waiting for it (Navirel.exe). Failures pass silently.
    virtual void ExecutarPrograma(const QString& caminho);

    // The result of an operation that began when ErrosMostrados() had inicio texts.
    TResultado Resultado(TResultado::TDesfecho desfecho, qsizetype inicio) const;
    const QStringList& ErrosMostrados() const { return m_erros; }

    // What the running operation worked on; ExecutarOperacao starts it empty and returns it
    // in the result.
    TResultado& Detalhes() { return m_detalhes; }

protected:
    virtual void EntradaRecusada(TCampo campo) = 0;
    virtual void MostrarCaixa(TCaixa tipo, const QString& texto) = 0;
    virtual void MostrarProgresso(const TProgresso& progresso) = 0;

private:
    void mudou(TProgresso::TMudanca mudanca);

    TProgresso m_progresso;
    QStringList m_erros;
    TResultado m_detalhes;
};

// Empties a work folder of the program (EsvaziarPasta); a file that cannot be deleted is
// reported with "Erro ao excluir" + its name.
void LimparPasta(TOperador& op, const QString& pasta);

// What an operation's error box says before the error's own text.
inline const QString PrefixoDeErro = QStringLiteral("Ocorreu o seguinte erro: \r\r");

// The top of an operation, the one place its failures end: runs the body, shows an error that
// escapes it (in the standard error box after PrefixoDeErro, or in the box of a step's own
// failure) and says how it ended. A body that returns ran to its end.
template <typename F> TResultado ExecutarOperacao(TOperador& op, F&& corpo) {
    const qsizetype inicio = op.ErrosMostrados().size();
    op.Detalhes() = TResultado();
    op.Detalhes().duracaoMs = -QDateTime::currentMSecsSinceEpoch();
    try {
        corpo();
        return op.Resultado(TResultado::Concluida, inicio);
    } catch (const EErro& e) {
        // A step that failed on its own says it in its box (a stop is raised as it is).
        if (const auto* etapa = dynamic_cast<const EFalhaDeEtapa*>(&e)) {
            op.Mostrar(etapa->Caixa(), etapa->Mensagem());
            return op.Resultado(TResultado::Falhou, inicio);
        }
        // A stop ends the run through whatever was running: a check, or a statement the stop
        // ended on the server. It is said as an interruption, with one log line.
        if (const int parada = ParadaPedida();
            parada != 0 && !dynamic_cast<const EEntradaRecusada*>(&e)) {
            const EParada interrupcao(parada);
            try {
                op.GravarLog(TextoDaParada(parada));
            } catch (const EErro&) {
                // the log cannot be written: the message below still says it
            }
            op.Mostrar(TCaixa::ErroPadrao, PrefixoDeErro + interrupcao.Mensagem());
            return op.Resultado(TResultado::Interrompida, inicio);
        }
        op.Mostrar(TCaixa::ErroPadrao, PrefixoDeErro + e.Mensagem());
        const bool ocupada = dynamic_cast<const EExecucaoEmAndamento*>(&e) != nullptr;
        op.Detalhes().ocupada = ocupada;
        return op.Resultado(ocupada || dynamic_cast<const EEntradaRecusada*>(&e)
                                ? TResultado::Recusada
                                : TResultado::Falhou,
                            inicio);
    }
}

} // namespace marvek

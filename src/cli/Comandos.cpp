#include "cli/Comandos.h"

#include "backup/Backup.h"
#include "base/EErro.h"
#include "base/Texto.h"
#include "cli/LinhaDeComando.h"
#include "cli/TOperadorConsole.h"
#include "data/Criptografia.h"
#include "data/Instalacao.h"
#include "data/TDM.h"
#include "operador/Historico.h"
#include "operador/TrabalhoPorTabela.h"
#include "plataforma/Parada.h"
#include "restore/Reservas.h"
#include "restore/Restauracao.h"
#include "restore/Reversao.h"
#include "restore/VerificacaoArquivo.h"
#include "zip/DescricaoArquivo.h"

#include <QDateTime>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

#include <cstdio>
#include <termios.h>
#include <unistd.h>

namespace marvek {

namespace {
// Keeps the terminal from echoing while a password is typed; the old mode comes back however
// the reading ends.
class TSemEco {
public:
    TSemEco() {
        if (::isatty(STDIN_FILENO) != 1 || ::tcgetattr(STDIN_FILENO, &m_antes) != 0)
            return;
        termios novo = m_antes;
        novo.c_lflag &= ~static_cast<tcflag_t>(ECHO);
        m_ativo = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &novo) == 0;
    }
    ~TSemEco() {
        if (m_ativo)
            ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &m_antes);
    }
    TSemEco(const TSemEco&) = delete;
    TSemEco& operator=(const TSemEco&) = delete;
    bool Ativo() const { return m_ativo; }

private:
    termios m_antes{};
    bool m_ativo = false;
};

// One line of stdin without its line end; nullopt at the end of the input with nothing read.
std::optional<QByteArray> lerLinha() {
    QByteArray linha;
    bool leuAlgo = false;
    for (;;) {
        const int c = std::fgetc(stdin);
        if (c == EOF)
            break;
        leuAlgo = true;
        if (c == '\n')
            break;
        linha += static_cast<char>(c);
    }
    if (!leuAlgo)
        return std::nullopt;
    if (linha.endsWith('\r'))
        linha.chop(1);
    return linha;
}
} // namespace

namespace {
QString textoDoDesfecho(const TResultado& r) {
    switch (r.desfecho) {
    case TResultado::Recusada:
        return r.ocupada ? QStringLiteral("ocupada") : QStringLiteral("recusada");
    case TResultado::Falhou:
        return QStringLiteral("falhou");
    case TResultado::Interrompida:
        return QStringLiteral("interrompida");
    case TResultado::Concluida:
        break;
    }
    return r.erros.isEmpty() ? QStringLiteral("concluida") : QStringLiteral("concluida_com_erros");
}

QJsonArray textos(const QStringList& lista) {
    QJsonArray a;
    for (const QString& t : lista)
        a.append(QuebrasDeLinha(t));
    return a;
}

// The summary a script reads: what ran, how it ended and what it worked on; null for what the
// run did not get to.
QJsonObject objetoDoResultado(const QString& operacao, const TResultado& r) {
    const auto ouNulo = [](const QString& t) { return t.isEmpty() ? QJsonValue() : QJsonValue(t); };
    QJsonObject o;
    o.insert(QStringLiteral("operacao"), operacao);
    o.insert(QStringLiteral("resultado"), textoDoDesfecho(r));
    o.insert(QStringLiteral("codigo_saida"), CodigoDeSaida(r));
    o.insert(QStringLiteral("alterou"), r.alterou);
    o.insert(QStringLiteral("filial"),
             r.filial.isEmpty() ? QJsonValue() : QJsonValue(r.filial.toLongLong()));
    o.insert(QStringLiteral("banco"), ouNulo(r.banco));
    o.insert(QStringLiteral("arquivo"), ouNulo(r.arquivo));
    o.insert(QStringLiteral("tamanho_arquivo"),
             r.tamanhoArquivo < 0 ? QJsonValue() : QJsonValue(r.tamanhoArquivo));
    o.insert(QStringLiteral("tabelas"), r.tabelas < 0 ? QJsonValue() : QJsonValue(r.tabelas));
    o.insert(QStringLiteral("duracao_s"), static_cast<double>(r.duracaoMs) / 1000.0);
    o.insert(QStringLiteral("banco_reserva"), ouNulo(r.bancoReserva));
    o.insert(QStringLiteral("avisos"), textos(r.avisos));
    o.insert(QStringLiteral("erros"), textos(r.erros));
    return o;
}

void escreverJson(const QJsonObject& o) {
    EscreverSaida(QString::fromUtf8(QJsonDocument(o).toJson(QJsonDocument::Compact)) +
                  QLatin1Char('\n'));
}

// How a console command ends: the exit code of its result, its line in the history (for the
// operations that change something) and, under --json, the summary. A history that cannot be
// written is said, but does not change how the operation ended.
struct TFimDeComando {
    const TLinhaDeComando& linha;
    QString operacao; // the history's word for it
    QString alvo;
    const TOperadorConsole* op = nullptr; // the operation's log, for the history
    QJsonObject extra;                    // more fields for the JSON

    int operator()(const TResultado& r) const {
        if (op) {
            try {
                RegistrarNoHistorico(op->Log().Arquivo(), operacao, alvo, r, op->Log().Linhas());
            } catch (const EErro& e) {
                EscreverErro(QStringLiteral("marvek-cli: ") + TextoConsole(e.Mensagem()));
            }
        }
        if (linha.json) {
            QJsonObject o = objetoDoResultado(linha.comando, r);
            for (auto it = extra.begin(); it != extra.end(); ++it)
                o.insert(it.key(), it.value());
            escreverJson(o);
        }
        return CodigoDeSaida(r);
    }
};

// The one place where a console command ends on an error that escapes it (a connection that
// cannot open, any other failure, a lack of memory): on stderr, after the progress line is
// cleared, as a failed run.
template <typename F> int noConsole(const TFimDeComando& fim, TOperadorConsole* op, F&& comando) {
    QString mensagem;
    try {
        return comando();
    } catch (const EErro& e) {
        mensagem = e.Mensagem();
    } catch (const std::exception& e) {
        mensagem = QString::fromLocal8Bit(e.what());
    }
    if (op)
        op->TerminarProgresso();
    EscreverErro(QStringLiteral("marvek-cli: ") + TextoConsole(mensagem));
    TResultado r = op ? op->Detalhes() : TResultado();
    if (r.duracaoMs < 0) // the operation had started: its start, kept as a negative time
        r.duracaoMs += QDateTime::currentMSecsSinceEpoch();
    r.desfecho = ParadaPedida() > 0 ? TResultado::Interrompida : TResultado::Falhou;
    r.sinal = ParadaPedida() > 0 ? ParadaPedida() : 0;
    r.erros = QStringList{mensagem};
    return fim(r);
}

int conexoesDe(const TLinhaDeComando& linha) {
    return linha.conexoes ? *LerConexoes(*linha.conexoes) : ConexoesPadrao();
}

void configurarSaida(TOperadorConsole& op, const TLinhaDeComando& linha) {
    op.Silencioso = linha.silencioso;
    op.Json = linha.json;
}

// Sizes for people: bytes, KiB, MiB or GiB with one decimal.
QString tamanhoLegivel(qint64 bytes) {
    const char* unidades[] = {"KiB", "MiB", "GiB", "TiB"};
    if (bytes < 1024)
        return QStringLiteral("%1 B").arg(bytes);
    double v = static_cast<double>(bytes);
    int u = -1;
    while (v >= 1024.0 && u < 3) {
        v /= 1024.0;
        ++u;
    }
    return QStringLiteral("%1 %2").arg(v, 0, 'f', 1).arg(QLatin1String(unidades[u]));
}
} // namespace

int ComandoBackup(const TLinhaDeComando& linha) {
    TOperadorConsole op;
    configurarSaida(op, linha);
    op.NumeroConexoes = conexoesDe(linha);
    op.Backup = true;
    const int filial = *LerIdFilial(*linha.filial);
    op.Filial = QString::number(filial);
    op.Pasta = *linha.destino;
    const TFimDeComando fim{linha, QStringLiteral("backup"), op.Pasta, &op, {}};
    return noConsole(fim, &op, [&] {
        DM().Conectar();
        const QString sql =
            QStringLiteral("select count(*) from filial where apagado <> \"S\" and filial_id = ") +
            QString::number(filial);
        if (DM().ConsultarValor(sql, 0).toLongLong() == 0)
            throw EErro(QStringLiteral("A filial %1 não existe ou está apagada (tabela filial): "
                                       "nada foi feito.")
                            .arg(filial));
        return fim(RealizarBackup(op, DM()));
    });
}

int ComandoRestaurar(const TLinhaDeComando& linha) {
    TOperadorConsole op;
    configurarSaida(op, linha);
    op.NumeroConexoes = conexoesDe(linha);
    op.Backup = false;
    op.ArquivoZip = linha.argumentos.first();
    op.Resposta = linha.navirel;
    op.Simular = linha.simular;
    op.PastaExtracao = linha.extrairEm.value_or(QString());
    op.OutraFilial = linha.outraFilial;
    const TFimDeComando fim{linha,
                            linha.simular ? QStringLiteral("simulação da restauração")
                                          : QStringLiteral("restauração"),
                            op.ArquivoZip,
                            &op,
                            {}};
    // As at the window's start, the settings are read but a connection that cannot be opened
    // now is left to the restore, which opens it when it first needs it and reports its error.
    // (The log lines of the run itself, "Inicio Restore" and "Fim Restore", are not covered by
    // the restore's own handler.)
    return noConsole(fim, &op, [&] {
        DM().Configurar();
        return fim(ExecutarRestauracao(op, DM()));
    });
}

int ComandoReverter(const TLinhaDeComando& linha) {
    TOperadorConsole op;
    configurarSaida(op, linha);
    op.Backup = false;
    const QString reserva = linha.argumentos.first();
    const TFimDeComando fim{linha, QStringLiteral("reversão"), reserva, &op, {}};
    return noConsole(fim, &op, [&] {
        DM().Conectar();
        const TResultado r = ReverterRestauracao(op, DM(), reserva);
        // The aside database that now holds the tables the way back replaced, for a script
        // that takes them up again.
        if (!r.bancoReserva.isEmpty() && !linha.silencioso && !linha.json)
            EscreverSaida(QStringLiteral("Banco reserva criado: ") + r.bancoReserva +
                          QLatin1Char('\n'));
        return fim(r);
    });
}

int ComandoReservas(const TLinhaDeComando& linha) {
    TFimDeComando fim{linha, QStringLiteral("reservas"), QString(), nullptr, {}};
    fim.extra.insert(QStringLiteral("reservas"), QJsonArray());
    return noConsole(fim, nullptr, [&] {
        DM().Conectar();
        const QString banco = LerBancoDeTrabalho();
        const QList<TReserva> reservas = ListarReservas(DM(), banco);
        TResultado r;
        r.banco = banco;
        r.tabelas = 0;
        QString texto;
        QJsonArray lista;
        for (const TReserva& reserva : reservas) {
            r.tabelas += reserva.tabelas;
            const QString data = reserva.data.isValid()
                                     ? reserva.data.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"))
                                     : QStringLiteral("?");
            if (linha.nomes)
                texto += reserva.nome + QLatin1Char('\n');
            else
                texto += QStringLiteral("%1  %2  %3 tabelas  %4%5\n")
                             .arg(reserva.nome.leftJustified(36), data.leftJustified(19))
                             .arg(reserva.tabelas, 5)
                             .arg(tamanhoLegivel(reserva.bytes).rightJustified(10),
                                  reserva.emUso ? QStringLiteral("  (em uso por uma reversão)")
                                                : QString());
            QJsonObject o;
            o.insert(QStringLiteral("nome"), reserva.nome);
            o.insert(QStringLiteral("data"), reserva.data.isValid()
                                                 ? QJsonValue(reserva.data.toString(Qt::ISODate))
                                                 : QJsonValue());
            o.insert(QStringLiteral("tabelas"), reserva.tabelas);
            o.insert(QStringLiteral("bytes"), reserva.bytes);
            o.insert(QStringLiteral("em_uso"), reserva.emUso);
            lista.append(o);
        }
        fim.extra.insert(QStringLiteral("reservas"), lista);
        if (!linha.json)
            EscreverSaida(texto);
        return fim(r);
    });
}

int ComandoLimparReservas(const TLinhaDeComando& linha) {
    TOperadorConsole op;
    configurarSaida(op, linha);
    op.Resposta = linha.sim;
    op.PerguntarNoTerminal = true;
    const TFimDeComando fim{linha,
                            QStringLiteral("limpeza das reservas"),
                            QStringLiteral("--manter ") + *linha.manter,
                            &op,
                            {}};
    return noConsole(fim, &op, [&] {
        DM().Conectar();
        return fim(LimparReservas(op, DM(), *LerManter(*linha.manter)));
    });
}

int ComandoVerificar(const TLinhaDeComando& linha) {
    const QString arquivo = linha.argumentos.first();
    TFimDeComando fim{linha, QStringLiteral("verificar"), arquivo, nullptr, {}};
    fim.extra.insert(QStringLiteral("descricao"), QJsonValue());
    fim.extra.insert(QStringLiteral("lista"), QJsonArray());
    return noConsole(fim, nullptr, [&] {
        const QList<TTabelaArquivo> tabelas = VerificarArquivoBackup(arquivo, true);
        const auto descricao = DescricaoDoArquivo(arquivo);
        TResultado r;
        r.arquivo = arquivo;
        r.tamanhoArquivo = QFileInfo(arquivo).size();
        r.tabelas = static_cast<int>(tabelas.size());
        QString saida = descricao ? QStringLiteral("# ") + ResumoDaDescricao(*descricao)
                                  : QStringLiteral("# sem descrição (arquivo de uma versão "
                                                   "anterior ou de outro programa)");
        saida += QLatin1Char('\n');
        QJsonArray lista;
        for (const TTabelaArquivo& t : tabelas) {
            saida += t.nome + QLatin1Char('\t') + QString::number(t.tamanho) + QLatin1Char('\t') +
                     NomeDoMotor(t.motor) + QLatin1Char('\n');
            QJsonObject o;
            o.insert(QStringLiteral("nome"), t.nome);
            o.insert(QStringLiteral("tamanho"), static_cast<qint64>(t.tamanho));
            o.insert(QStringLiteral("motor"), NomeDoMotor(t.motor));
            lista.append(o);
        }
        if (descricao) {
            r.filial = QString::number(descricao->filial);
            r.banco = descricao->banco;
            QJsonObject d;
            d.insert(QStringLiteral("filial"), descricao->filial);
            d.insert(QStringLiteral("nome_filial"), descricao->nomeFilial);
            d.insert(QStringLiteral("banco"), descricao->banco);
            d.insert(QStringLiteral("data"), descricao->data.toString(Qt::ISODate));
            d.insert(QStringLiteral("versao"), descricao->versao);
            fim.extra.insert(QStringLiteral("descricao"), d);
        }
        fim.extra.insert(QStringLiteral("lista"), lista);
        if (!linha.silencioso && !linha.json)
            EscreverSaida(saida);
        return fim(r);
    });
}

int ComandoCifrarSenha() {
    std::optional<QByteArray> lida;
    {
        TSemEco semEco;
        if (semEco.Ativo())
            EscreverErro(QStringLiteral("Senha: "));
        lida = lerLinha();
        if (semEco.Ativo())
            EscreverErro(QStringLiteral("\n"));
    }
    if (!lida) {
        EscreverErro(QStringLiteral("marvek-cli: Nenhuma senha lida da entrada padrão.\n"));
        return SaidaFalha;
    }
    const QString senha = QString::fromLocal8Bit(*lida);
    if (senha.isEmpty()) {
        // The enciphered form of an empty text is a seed alone, which the settings reader
        // cannot decipher; an empty senha= is how the settings file says "no password".
        EscreverSaida(QStringLiteral("\n"));
        EscreverErro(QStringLiteral("marvek-cli: Senha vazia: deixe a chave senha= vazia no "
                                    "sistema_qel.ini.\n"));
        return SaidaSucesso;
    }
    for (QChar c : senha) {
        if (c.unicode() > 255 || c.unicode() == 0) {
            EscreverErro(
                QStringLiteral("marvek-cli: A senha tem o caractere \"%1\", que o sistema_qel.ini "
                               "não guarda (só caracteres Latin-1).\n")
                    .arg(c));
            return SaidaFalha;
        }
    }
    const TLinhaDeComando semOpcoes;
    const TFimDeComando fim{semOpcoes, QStringLiteral("cifrar-senha"), QString(), nullptr, {}};
    return noConsole(fim, nullptr, [&] {
        const QString cifrada = Criptografar(QStringLiteral("E"), senha, ChaveSenha());
        if (Descriptografar(cifrada, ChaveSenha()) != senha)
            throw EErro(QStringLiteral("A senha cifrada não volta à senha informada."));
        EscreverSaida(cifrada + QLatin1Char('\n'));
        return SaidaSucesso;
    });
}

} // namespace marvek

#include "cli/FimDeComando.h"

#include "base/Texto.h"
#include "operador/Historico.h"
#include "operador/TrabalhoPorTabela.h"
#include "plataforma/Parada.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>

namespace marvek {

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

} // namespace

int TFimDeComando::operator()(const TResultado& r) const {
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

int TerminarComErro(const TFimDeComando& fim, TOperadorConsole* op, const QString& mensagem) {
    if (op)
        op->TerminarProgresso();
    EscreverErro(QStringLiteral("marvek-cli: ") + TextoConsole(mensagem));
    return fim(ResultadoDaFalha(op ? op->Detalhes() : TResultado(), mensagem));
}

void ConfigurarSaida(TOperadorConsole& op, const TLinhaDeComando& linha) {
    op.Silencioso = linha.silencioso;
    op.Json = linha.json;
}

int ConexoesDe(const TLinhaDeComando& linha) {
    return linha.conexoes ? *LerConexoes(*linha.conexoes) : ConexoesPadrao();
}

} // namespace marvek

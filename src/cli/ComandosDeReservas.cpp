#include "cli/Comandos.h"

#include "cli/FimDeComando.h"
#include "cli/TComando.h"
#include "data/Instalacao.h"
#include "data/TDM.h"
#include "restore/Reservas.h"

#include <QJsonArray>

namespace marvek {

namespace {

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

class TComandoReservas : public TComando {
public:
    QString Nome() const override { return QStringLiteral("reservas"); }
    QString Resumo() const override {
        return QStringLiteral("lista os bancos de reserva do banco de trabalho, do mais\n"
                              "antigo ao mais novo: nome, data, tabelas, tamanho");
    }
    QList<TOpcaoCli> Opcoes() const override {
        return {OpcaoPasta,
                {{QStringLiteral("nomes")}, QString(), QStringLiteral("só os nomes, um por linha")},
                OpcaoJson};
    }
    int Executar(const TLinhaDeComando& linha) const override;
};

int TComandoReservas::Executar(const TLinhaDeComando& linha) const {
    TFimDeComando fim{linha, QStringLiteral("reservas"), QString(), nullptr, {}};
    fim.extra.insert(QStringLiteral("reservas"), QJsonArray());
    return ExecutarNoConsole(fim, nullptr, [&] {
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

class TComandoLimparReservas : public TComando {
public:
    QString Nome() const override { return QStringLiteral("limpar-reservas"); }
    QString Resumo() const override {
        return QStringLiteral("apaga os bancos de reserva mais antigos, deixando os N mais\n"
                              "novos e os que uma reversão usa; lista o que sai e pergunta");
    }
    QList<TOpcaoCli> Opcoes() const override {
        return {OpcaoPasta,
                {{QStringLiteral("manter")},
                 QStringLiteral("N"),
                 QStringLiteral("quantos bancos de reserva, os mais novos, ficam"),
                 true},
                {{QStringLiteral("sim")},
                 QString(),
                 QStringLiteral("apaga sem perguntar (para scripts e agendamentos)")},
                OpcaoSilencioso,
                OpcaoJson};
    }
    int Executar(const TLinhaDeComando& linha) const override;
};

int TComandoLimparReservas::Executar(const TLinhaDeComando& linha) const {
    TOperadorConsole op;
    ConfigurarSaida(op, linha);
    op.Resposta = linha.sim;
    op.PerguntarNoTerminal = true;
    const TFimDeComando fim{linha,
                            QStringLiteral("limpeza das reservas"),
                            QStringLiteral("--manter ") + *linha.manter,
                            &op,
                            {}};
    return ExecutarNoConsole(fim, &op, [&] {
        DM().Conectar();
        return fim(LimparReservas(op, DM(), *LerManter(*linha.manter)));
    });
}

} // namespace

const TComando& ComandoReservas() {
    return Unico<TComandoReservas>();
}

const TComando& ComandoLimparReservas() {
    return Unico<TComandoLimparReservas>();
}

} // namespace marvek

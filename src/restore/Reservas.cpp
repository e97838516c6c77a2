#include "restore/Reservas.h"

#include "base/EErro.h"
#include "base/Identificador.h"
#include "data/Instalacao.h"
#include "data/TDM.h"
#include "restore/Reversao.h"

#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace marvek {

namespace {
const QString MarcaDaReversao = QStringLiteral("marvek: voltando de ");

// The date and time in the name (<banco>_Backup_ddMMyyyy_HHmmss, then two digits for a second
// set-aside within the same second), and that order number.
std::pair<QDateTime, int> dataDoNome(const QString& banco, const QString& nome) {
    static const QRegularExpression formato(
        QStringLiteral("^_Backup_([0-9]{8})_([0-9]{6})([0-9]{2})?$"));
    const QRegularExpressionMatch m = formato.match(nome.mid(banco.size()));
    if (!m.hasMatch())
        return {};
    const QDateTime data(QDate::fromString(m.captured(1), QStringLiteral("ddMMyyyy")),
                         QTime::fromString(m.captured(2), QStringLiteral("HHmmss")));
    return {data.isValid() ? data : QDateTime(), m.captured(3).toInt()};
}
} // namespace

QList<TReserva> ListarReservas(TDM& dm, const QString& banco) {
    QList<TReserva> reservas;
    QSet<QString> emUso;
    for (auto c = dm.AbrirConsulta(
             QStringLiteral("SELECT SCHEMA_NAME, SCHEMA_COMMENT FROM information_schema.SCHEMATA"));
         !c->Eof(); c->Proximo()) {
        const QString nome = c->Campo(0).toString();
        const QString comentario = c->Campo(1).toString();
        // A way back cut short: the aside database it made carries where it goes, and the one
        // it takes the tables from is named there.
        if (comentario.startsWith(MarcaDaReversao)) {
            emUso << nome;
            emUso << comentario.mid(MarcaDaReversao.size()).section(QStringLiteral(" para "), 0, 0);
        }
        if (EhBancoReserva(banco, nome))
            reservas << TReserva{nome, {}, 0, 0, false};
    }
    if (!reservas.isEmpty()) {
        QStringList nomes;
        for (const TReserva& r : reservas)
            nomes << CitarTexto(r.nome);
        QHash<QString, std::pair<int, qint64>> figuras;
        for (auto c = dm.AbrirConsulta(
                 QStringLiteral("SELECT TABLE_SCHEMA, COUNT(*), COALESCE(SUM(DATA_LENGTH + "
                                "INDEX_LENGTH), 0) FROM information_schema.TABLES WHERE "
                                "TABLE_SCHEMA IN (%1) GROUP BY TABLE_SCHEMA")
                     .arg(nomes.join(QStringLiteral(", "))));
             !c->Eof(); c->Proximo())
            figuras.insert(c->Campo(0).toString(), {c->Campo(1).toInt(), c->Campo(2).toLongLong()});
        for (TReserva& r : reservas) {
            r.tabelas = figuras.value(r.nome).first;
            r.bytes = figuras.value(r.nome).second;
        }
    }
    for (TReserva& r : reservas)
        r.emUso = emUso.contains(r.nome);
    std::sort(reservas.begin(), reservas.end(), [&banco](const TReserva& a, const TReserva& b) {
        const auto x = dataDoNome(banco, a.nome);
        const auto y = dataDoNome(banco, b.nome);
        if (x.first.isValid() != y.first.isValid())
            return x.first.isValid();
        if (x != y)
            return x < y;
        return a.nome < b.nome;
    });
    for (TReserva& r : reservas)
        r.data = dataDoNome(banco, r.nome).first;
    return reservas;
}

QList<TReserva> ReservasAlemDe(const QList<TReserva>& reservas, int manter) {
    QList<TReserva> datadas;
    for (const TReserva& r : reservas)
        if (r.data.isValid())
            datadas << r;
    QList<TReserva> sair;
    for (qsizetype i = 0; i + std::max(manter, 1) < datadas.size(); ++i)
        if (!datadas[i].emUso)
            sair << datadas[i];
    return sair;
}

TResultado LimparReservas(TOperador& op, TDM& dm, int manter) {
    dm.Conexao.Retomar();
    return ExecutarOperacao(op, [&] {
        const QString banco = LerBancoDeTrabalho();
        op.Detalhes().banco = banco;
        const TTravaExecucao trava(dm, banco);
        const QList<TReserva> sair = ReservasAlemDe(ListarReservas(dm, banco), manter);
        op.Detalhes().tabelas = 0;
        if (sair.isEmpty()) {
            op.Mostrar(TCaixa::Informacao,
                       QStringLiteral("Nenhum banco reserva de %1 a remover: ficam os %2 mais "
                                      "novos e os que uma reversão usa.")
                           .arg(banco)
                           .arg(manter));
            return;
        }
        QString lista;
        for (const TReserva& r : sair)
            lista += QStringLiteral("\r\n  %1 (%2 tabelas, %3 bytes)")
                         .arg(r.nome)
                         .arg(r.tabelas)
                         .arg(r.bytes);
        const QString texto =
            QStringLiteral("Estes bancos reserva de %1 serão apagados (ficam os %2 mais novos):")
                .arg(banco)
                .arg(manter) +
            lista;
        if (!op.Confirmar(texto + QStringLiteral("\r\n\r\nApagar?"), false,
                          QStringLiteral("Confirmação...")))
            throw EEntradaRecusada(QStringLiteral("Nenhum banco reserva foi apagado."));
        op.Detalhes().alterou = true;
        for (const TReserva& r : sair) {
            op.GravarLog(QStringLiteral("DROP DATABASE ") + NomeNoComando(r.nome));
            dm.ExecutarComando(QStringLiteral("DROP DATABASE ") + CitarIdentificador(r.nome));
            op.Detalhes().tabelas += r.tabelas;
            op.ProcessarMensagens();
        }
        op.Mostrar(TCaixa::Informacao,
                   QStringLiteral("%1 bancos reserva apagados.").arg(sair.size()));
    });
}

} // namespace marvek

#include "restore/Reversao.h"

#include "base/EErro.h"
#include "base/Identificador.h"
#include "data/Instalacao.h"
#include "data/TDM.h"
#include "operador/TOperador.h"
#include "restore/TratarDataBases.h"

#include <QRegularExpression>

namespace marvek {

namespace {

// The tables of the aside database, checked before anything is moved; none is refused unless
// a way back that was cut short is taken up again (it may have moved them all).
QStringList tabelasDaReserva(TDM& dm, const QString& reserva, bool retomada) {
    const qlonglong existe =
        dm.ConsultarValor(QStringLiteral("SELECT COUNT(*) FROM information_schema.SCHEMATA WHERE "
                                         "SCHEMA_NAME = %1")
                              .arg(CitarTexto(reserva)),
                          0)
            .toLongLong();
    if (existe == 0)
        throw EErro(QStringLiteral("O banco reserva %1 não existe").arg(reserva));
    auto consulta = dm.AbrirConsulta(
        QStringLiteral("SELECT TABLE_NAME, TABLE_TYPE FROM information_schema.TABLES WHERE "
                       "TABLE_SCHEMA = %1 ORDER BY TABLE_NAME")
            .arg(CitarTexto(reserva)));
    QStringList tabelas;
    for (; !consulta->Eof(); consulta->Proximo()) {
        const QString nome = consulta->Campo(0).toString();
        if (consulta->Campo(1).toString() != QLatin1String("BASE TABLE"))
            throw EErro(QStringLiteral("O banco reserva %1 contém %2, que não é uma tabela; "
                                       "nada foi alterado")
                            .arg(reserva, nome));
        tabelas << nome;
    }
    if (tabelas.isEmpty() && !retomada)
        throw EErro(QStringLiteral("O banco reserva %1 não contém tabelas; nada foi alterado")
                        .arg(reserva));
    return tabelas;
}
} // namespace

bool EhBancoReserva(const QString& banco, const QString& nome) {
    if (!EhIdentificadorSimples(banco) || !EhIdentificadorSimples(nome))
        return false;
    static const QRegularExpression sufixo(QStringLiteral("^_Backup_[0-9]+_[0-9]+$"));
    return nome.startsWith(banco) && sufixo.match(nome.mid(banco.size())).hasMatch();
}

TResultado ReverterRestauracao(TOperador& op, TDM& dm, const QString& bancoReserva) {
    dm.Conexao.Retomar();
    return ExecutarOperacao(op, [&] {
        const QString banco = LerBancoDeTrabalho();
        op.Detalhes().banco = banco;
        const TTravaExecucao trava(dm, banco);
        if (!EhBancoReserva(banco, bancoReserva))
            throw EErro(QStringLiteral("\"%1\" não é um banco reserva do banco %2 (o nome deve ser "
                                       "%2_Backup_ seguido da data e da hora)")
                            .arg(bancoReserva, banco));
        // A way back marks the aside database it makes (new, so nobody else holds it) with
        // where it goes: a stop cut it short when that mark is found, the current tables are
        // aside already, and the rest of the aside tables move now.
        const QString marca =
            QStringLiteral("marvek: voltando de %1 para %2").arg(bancoReserva, banco);
        QString nova = dm.ConsultarValor(QStringLiteral("SELECT SCHEMA_NAME FROM "
                                                        "information_schema.SCHEMATA WHERE "
                                                        "SCHEMA_COMMENT = %1")
                                             .arg(CitarTexto(marca)),
                                         QString())
                           .toString();
        const bool retomada = !nova.isEmpty();
        const QStringList tabelas = tabelasDaReserva(dm, bancoReserva, retomada);
        op.Detalhes().tabelas = static_cast<int>(tabelas.size());
        op.Detalhes().alterou = true;
        auto comentar = [&](const QString& texto) {
            dm.ExecutarComando(QStringLiteral("ALTER DATABASE %1 COMMENT = %2")
                                   .arg(CitarIdentificador(nova), CitarTexto(texto)));
        };

        if (retomada) {
            op.GravarLog(QStringLiteral("Retomando a reversão de ") + bancoReserva);
        } else {
            // The current tables go aside first, exactly as before a restore: whatever happens
            // afterwards, they are kept in an aside database of their own.
            // A failure is reported by the set-aside; the aside database is untouched then.
            SepararBancoDeTrabalho(op, dm, banco, &nova);
            if (!nova.isEmpty())
                comentar(marca);
        }
        op.Detalhes().bancoReserva = nova;

        for (const QString& tabela : tabelas) {
            auto sql = [&](auto citar) {
                return QStringLiteral("RENAME TABLES ") + citar(bancoReserva) +
                       QStringLiteral(".") + citar(tabela) + QStringLiteral(" TO ") + citar(banco) +
                       QStringLiteral(".") + citar(tabela);
            };
            op.GravarLog(sql(NomeNoComando));
            dm.ExecutarComando(sql(CitarIdentificador));
            op.ProcessarMensagens();
        }
        if (!nova.isEmpty())
            comentar(QString());
        op.Mostrar(TCaixa::Informacao,
                   QStringLiteral("Restauração revertida com sucesso!\r\rAs tabelas de %1 voltaram "
                                  "para %2; as tabelas que estavam em %2 foram guardadas em um "
                                  "novo banco reserva%3.")
                       .arg(bancoReserva, banco,
                            nova.isEmpty() ? QString() : QStringLiteral(": ") + nova));
    });
}

} // namespace marvek

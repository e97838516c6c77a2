#include "restore/TratarDataBases.h"

#include "base/EErro.h"
#include "base/Identificador.h"
#include "base/NomesDeArquivo.h"
#include "data/Instalacao.h"
#include "data/TDM.h"
#include "operador/TOperador.h"
#include "plataforma/Parada.h"
#include "plataforma/Plataforma.h"

#include <QDir>
#include <QFileInfo>

namespace marvek {

namespace {
QStringList coluna(TDM& dm, const QString& sql) {
    QStringList valores;
    for (auto c = dm.AbrirConsulta(sql); !c->Eof(); c->Proximo())
        valores << c->Campo(0).toString();
    return valores;
}
} // namespace

QString NomeBancoReserva(const QString& banco, const QDateTime& agora) {
    QString data = DataRegional(agora.date());
    data.remove(QLatin1Char('/'));
    QString hora = HoraRegional(agora.time());
    hora.remove(QLatin1Char(':'));
    return banco + QStringLiteral("_Backup_") + data + QStringLiteral("_") + hora;
}

QString NomeBancoReservaLivre(TDM& dm, const QString& banco, const QDateTime& agora) {
    const QString nome = NomeBancoReserva(banco, agora);
    for (int n = 0;; ++n) {
        // Two runs within one second: the later one takes the next free number after the time.
        const QString candidato =
            n == 0 ? nome : nome + QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        if (dm.ConsultarValor(QStringLiteral("SELECT COUNT(*) FROM information_schema.SCHEMATA "
                                             "WHERE SCHEMA_NAME = %1")
                                  .arg(CitarTexto(candidato)),
                              0)
                .toLongLong() == 0)
            return candidato;
    }
}

QStringList VerificarBancoDeTrabalho(TDM& dm, const QString& banco) {
    const QString onde = QStringLiteral("_SCHEMA = ") + CitarTexto(banco);
    QStringList tabelas;
    QStringList outros;
    for (auto c = dm.AbrirConsulta(QStringLiteral("SELECT TABLE_NAME, TABLE_TYPE FROM "
                                                  "information_schema.TABLES WHERE TABLE") +
                                   onde + QStringLiteral(" ORDER BY TABLE_NAME"));
         !c->Eof(); c->Proximo()) {
        const QString nome = c->Campo(0).toString();
        const QString tipo = c->Campo(1).toString();
        if (tipo == QLatin1String("BASE TABLE"))
            tabelas << nome;
        else if (tipo == QLatin1String("VIEW"))
            outros << QStringLiteral("a view %1").arg(nome);
        else
            outros << QStringLiteral("%1 (%2)").arg(nome, tipo);
    }
    // A trigger keeps its table from moving to another database, and its files would be
    // deleted with the folder.
    for (const QString& t :
         coluna(dm, QStringLiteral("SELECT TRIGGER_NAME FROM information_schema.TRIGGERS WHERE "
                                   "TRIGGER") +
                        onde + QStringLiteral(" ORDER BY TRIGGER_NAME")))
        outros << QStringLiteral("o gatilho %1").arg(t);
    if (!outros.isEmpty())
        throw EErro(QStringLiteral("O banco %1 contém %2, que não pode ser guardado no banco "
                                   "reserva. Guarde ou remova esses objetos e tente de novo; nada "
                                   "foi alterado.")
                        .arg(banco, outros.join(QStringLiteral(", "))));
    return tabelas;
}

void CompletarTabelasInterrompidas(TOperador& op, TDM& dm, const QString& banco,
                                   const QString& pastaBanco) {
    const QDir pasta(pastaBanco);
    for (const QString& frm : pasta.entryList({QStringLiteral("*.frm")}, QDir::Files)) {
        const QString base = frm.left(frm.size() - 4);
        const std::optional<QString> tabela = TabelaDoArquivo(base);
        if (!tabela || !pasta.exists(base + QStringLiteral(".MYD")) ||
            pasta.exists(base + QStringLiteral(".MYI")))
            continue;
        dm.ReconstruirIndices(banco, *tabela);
        op.GravarLog(QStringLiteral("Tabela interrompida na carga, índice reconstruído: ") +
                     NomeNoComando(*tabela));
    }
}

void TratarDataBases(TOperador& op, TDM& dm, const QString& banco, QString* reservaCriada) {
    try {
        dm.Conexao.MudarBanco(QStringLiteral("mysql"));
        QString pastaDados;
        {
            auto consulta = dm.AbrirConsulta(QStringLiteral("SHOW VARIABLES like \"datadir\""));
            if (consulta->Eof())
                throw EErro(QStringLiteral("O servidor não informou a pasta de dados"));
            pastaDados = consulta->Campo(1).toString();
        }
        const QString reserva = NomeBancoReservaLivre(dm, banco, QDateTime::currentDateTime());
        const QString pastaBanco = pastaDados + ArquivoDaTabela(banco).value_or(banco);

        if (QFileInfo(pastaBanco).isDir()) {
            // The server's own list of tables, whatever their engine and files; what cannot be
            // moved whole is refused before anything moves.
            const QStringList tabelas = VerificarBancoDeTrabalho(dm, banco);
            CompletarTabelasInterrompidas(op, dm, banco, pastaBanco);
            // The tables a way back left half moved are set aside now with the rest: its mark
            // would make a later way back take the wrong tables, so it goes.
            // (compared here, not with LIKE, where a "_" of the name would match any character)
            for (auto c = dm.AbrirConsulta(QStringLiteral(
                     "SELECT SCHEMA_NAME, SCHEMA_COMMENT FROM information_schema.SCHEMATA"));
                 !c->Eof(); c->Proximo()) {
                const QString comentario = c->Campo(1).toString();
                if (comentario.startsWith(QLatin1String("marvek: voltando de ")) &&
                    comentario.endsWith(QStringLiteral(" para ") + banco))
                    dm.ExecutarComando(QStringLiteral("ALTER DATABASE %1 COMMENT = ''")
                                           .arg(CitarIdentificador(c->Campo(0).toString())));
            }
            dm.ExecutarComando(QStringLiteral("CREATE DATABASE ") + CitarIdentificador(reserva));
            // Named at once: from here on tables of the installation may be in it.
            if (reservaCriada)
                *reservaCriada = reserva;
            for (const QString& tabela : tabelas)
                dm.ExecutarComando(QStringLiteral("RENAME TABLES ") + CitarIdentificador(banco) +
                                   QStringLiteral(".") + CitarIdentificador(tabela) +
                                   QStringLiteral(" TO ") + CitarIdentificador(reserva) +
                                   QStringLiteral(".") + CitarIdentificador(tabela));
            // Files are deleted only when every table has been moved.
            const QStringList restantes =
                coluna(dm, QStringLiteral("SELECT TABLE_NAME FROM information_schema.TABLES WHERE "
                                          "TABLE_SCHEMA = %1")
                               .arg(CitarTexto(banco)));
            if (!restantes.isEmpty())
                throw EErro(
                    QStringLiteral("A tabela %1 continua no banco %2 e não foi movida para "
                                   "%3; a pasta %4 foi mantida como está")
                        .arg(restantes.join(QStringLiteral(", ")), banco, reserva, pastaBanco));
            LimparPasta(op, pastaBanco + QStringLiteral("/"));
        } else {
            QDir().mkpath(pastaBanco);
            AjustarDono(pastaBanco, pastaDados);
        }
        dm.Conexao.MudarBanco(banco);
    } catch (const EErro& e) {
        if (ParadaPedida())
            throw; // an interruption is said as one, by the operation
        throw EFalhaDeEtapa(TCaixa::Erro, PrefixoDeErro + e.Mensagem());
    }
}

void SepararBancoDeTrabalho(TOperador& op, TDM& dm, const QString& banco, QString* reservaCriada) {
    op.GravarLog(QStringLiteral("Inicio TratarDataBases"));
    op.Detalhes().alterou = true;
    try {
        TratarDataBases(op, dm, banco, reservaCriada);
    } catch (const EFalhaDeEtapa&) {
        op.GravarLog(QStringLiteral("Fim TratarDatabases"));
        throw;
    }
    op.GravarLog(QStringLiteral("Fim TratarDatabases"));
}

} // namespace marvek

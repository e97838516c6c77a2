#include "restore/TratarDataBases.h"

#include "backup/Backup.h"
#include "data/ArquivoIni.h"
#include "data/EErro.h"
#include "data/Pastas.h"
#include "data/TDM.h"
#include "operador/TOperador.h"
#include "plataforma/Plataforma.h"
#include "restore/ListagemPasta.h"

#include <QDir>
#include <QFileInfo>

namespace marvek {

QString NomeBancoReserva(const QString& banco, const QDateTime& agora) {
    QString data = DataRegional(agora.date());
    data.remove(QLatin1Char('/'));
    QString hora = HoraRegional(agora.time());
    hora.remove(QLatin1Char(':'));
    return banco + QStringLiteral("_Backup_") + data + QStringLiteral("_") + hora;
}

bool TratarDataBases(TOperador& op, TDM& dm) {
    try {
        const QString banco =
            LerTextoIni(ArquivoDoPrograma(QStringLiteral("sistema_qel.ini")), QStringLiteral("ip"),
                        QStringLiteral("database"), QStringLiteral("gerente"));
        // An empty name would make the data folder itself the database folder to empty.
        if (banco.trimmed().isEmpty())
            throw EErro(QStringLiteral("O nome do banco de dados em sistema_qel.ini está vazio"));
        dm.Conexao.MudarBanco(QStringLiteral("mysql"));
        QString pastaDados;
        {
            auto consulta =
                dm.AbrirConsulta(QStringLiteral("SHOW VARIABLES like \"datadir\""), true, false);
            if (consulta->Eof())
                throw EErro(QStringLiteral("O servidor não informou a pasta de dados"));
            pastaDados = consulta->Campo(1).toString();
        }
        const QString reserva = NomeBancoReserva(banco, QDateTime::currentDateTime());
        const QString pastaBanco = pastaDados + banco;

        if (QFileInfo(pastaBanco).isDir()) {
            dm.ExecutarComando(QStringLiteral("CREATE DATABASE ") + reserva, true);
            const QList<TEntradaPasta> entradas = ListarPastaOrdenada(pastaBanco);
            for (qsizetype i = 0; i < entradas.size(); i += 3) {
                const TEntradaPasta& e = entradas.at(i);
                const QString tabela = e.nome.left(e.nome.size() - 4);
                if (!tabela.isEmpty() && !e.pasta)
                    dm.ExecutarComando(QStringLiteral("RENAME TABLES ") + banco +
                                           QStringLiteral(".") + tabela + QStringLiteral(" TO ") +
                                           reserva + QStringLiteral(".") + tabela,
                                       true);
            }
            // Files are deleted only when every table has been moved: a table the visits missed
            // (another file layout) keeps its files.
            auto restantes = dm.AbrirConsulta(
                QStringLiteral("SELECT TABLE_NAME FROM information_schema.TABLES WHERE "
                               "TABLE_SCHEMA = '%1'")
                    .arg(QString(banco).replace(QLatin1Char('\''), QLatin1String("''"))),
                true, false);
            if (!restantes->Eof()) {
                QStringList nomes;
                for (; !restantes->Eof(); restantes->Proximo())
                    nomes << restantes->Campo(0).toString();
                throw EErro(QStringLiteral("A tabela %1 continua no banco %2 e não foi movida para "
                                           "%3; a pasta %4 foi mantida como está")
                                .arg(nomes.join(QStringLiteral(", ")), banco, reserva, pastaBanco));
            }
            LimparPasta(op, pastaBanco + QStringLiteral("/"));
        } else {
            QDir().mkpath(pastaBanco);
            AjustarDono(pastaBanco, pastaDados);
        }
        dm.Conexao.MudarBanco(banco);
        return true;
    } catch (const EErro& e) {
        op.MostrarErro(QStringLiteral("Ocorreu o seguinte erro: \r\r") + e.Mensagem());
        return false;
    }
}

} // namespace marvek

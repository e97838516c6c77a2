#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace marvek {

class TDM;
class TOperador;

// The aside database's name: banco + "_Backup_" + date + "_" + time, "/" and ":" removed.
QString NomeBancoReserva(const QString& banco, const QDateTime& agora);
// The same name when no database has it yet; otherwise the first free one of that name followed
// by 01, 02, ... (two set-asides within one second).
QString NomeBancoReservaLivre(TDM& dm, const QString& banco, const QDateTime& agora);

// A table whose load a stop cut short has its .frm and .MYD but no .MYI, which the server
// cannot rename: its index is rebuilt from the two files (with a log line) before anything
// moves. Raises the server's message when it cannot be.
void CompletarTabelasInterrompidas(TOperador& op, TDM& dm, const QString& banco,
                                   const QString& pastaBanco);

// Checks that everything in the working database can be set aside: returns its tables (any
// engine); raises EErro naming the objects that cannot move whole (views, triggers).
QStringList VerificarBancoDeTrabalho(TDM& dm, const QString& banco);

// Moves every table of the working database into a new aside database and empties the working
// database's folder (or creates the folder when the database does not exist). reservaCriada
// gets the aside database's name as soon as it exists. A failure is raised as EFalhaDeEtapa,
// said in the "Erro..." box.
void TratarDataBases(TOperador& op, TDM& dm, const QString& banco,
                     QString* reservaCriada = nullptr);

// The set-aside between its two log lines ("Inicio TratarDataBases", "Fim TratarDatabases",
// the last one also after a failure it reports); from the first line on the run counts as one
// that changed things. reservaCriada as for TratarDataBases ("" when there were no tables).
void SepararBancoDeTrabalho(TOperador& op, TDM& dm, const QString& banco, QString* reservaCriada);

} // namespace marvek

#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace marvek {

class TDM;
class TOperador;

// The aside database's name: banco + "_Backup_" + date + "_" + time, "/" and ":" removed.
QString NomeBancoReserva(const QString& banco, const QDateTime& agora);

// Checks that everything in the working database can be set aside: returns its tables (any
// engine); raises EErro naming the objects that cannot move whole (views, triggers).
QStringList VerificarBancoDeTrabalho(TDM& dm, const QString& banco);

// Moves every table of the working database into a new aside database and empties the working
// database's folder (or creates the folder when the database does not exist). Reports its own
// errors with MostrarErro; returns false when it failed.
bool TratarDataBases(TOperador& op, TDM& dm);

} // namespace marvek

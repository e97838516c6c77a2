#pragma once

#include "operador/TOperador.h"

#include <QString>

namespace marvek {

class TDM;

// The central backup: marks every table's rows for the selected branch, copies every table into
// Temp_Backup under the destination folder and packs the copies into Backup_Central.zip.
// Says how it ended; the controls of a window come back after a completed backup.
TResultado RealizarBackup(TOperador& op, TDM& dm);

} // namespace marvek

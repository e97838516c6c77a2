#pragma once

#include <QString>

namespace marvek {

class TDM;
class TOperador;

// The central backup: marks every table's rows for the selected branch, copies every table into
// Temp_Backup under the destination folder and packs the copies into Backup_Central.zip.
void RealizarBackup(TOperador& op, TDM& dm);

// Deletes every file directly inside the folder (given with its trailing separator); folders
// stay. A file that cannot be deleted is reported with "Erro ao excluir" + its name.
void LimparPasta(TOperador& op, const QString& pasta);

} // namespace marvek

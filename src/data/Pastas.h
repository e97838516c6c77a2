#pragma once

#include <QString>

namespace marvek {

// The program folder: where sistema_qel.ini, LOG_MARVEK.txt, query.txt and Navirel.exe live.
// By default the folder of the running executable; a front end may name another one.
// Always returned with a trailing "/".
QString PastaDoPrograma();
void DefinirPastaDoPrograma(const QString& pasta);

// Program folder + file name.
QString ArquivoDoPrograma(const QString& nome);

} // namespace marvek

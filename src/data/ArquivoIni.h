#pragma once

#include <QString>

namespace marvek {

// Reading of INI settings files: section and key names without regard to case, Latin-1 text,
// the file opened and read afresh at every call. A missing file, section or key gives the
// default; a file that exists but cannot be read (or is a folder) raises EErro naming it; a key
// present with an empty value gives the empty text. Of repeated keys the first one counts. Nothing
// is ever written.
QString LerTextoIni(const QString& arquivo, const QString& secao, const QString& chave,
                    const QString& padrao);

} // namespace marvek

#pragma once

#include <QString>

namespace marvek {

class TDM;

// The one-character marker of a branch inside a lojas_leram column: 1 is "*", up to 9 the
// digit, 10 to 35 "A" to "Z", 36 to 53 "@#$&+-!()={}[]<>;:"; above 53 an error.
QString CodigoLojasLeram(int filialId);

// "*" followed by the markers of all live branches, in the server's row order.
QString ListaLojasLeram(TDM& dm);
// The same list from another branch table (a name as a statement writes it, qualified and
// quoted by the caller): the check that every live branch has a marker before anything changes.
QString ListaLojasLeram(TDM& dm, const QString& tabelaFilial);

} // namespace marvek

#pragma once

#include "maintenance/TConfiguracoes.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace marvek {

class TDM;
class TOperador;

// The 19 PAF work tables, in the order they are emptied.
QStringList ListaTabelasPAF();

// The installation's branch id (CodFisica of sistema_qel.ini, read once by the operation) as
// text; logs "Obter Cod. Filial: " + id.
QString ObterCodFilial(TOperador& op, int codFisica);

// Writes the built-in table list to query.txt in the program folder (replacing it); returns
// its path, the list file of both maintenance clean-ups.
QString GerarQueryTxt();
// The built-in table list, byte for byte.
QByteArray ConteudoQueryTxt();

void TruncarTabelas(TOperador& op, TDM& dm, const QStringList& tabelas);
void DeletarRegistros(TOperador& op, TDM& dm, const QStringList& tabelas, const QString& filial);

// The six tables whose other branches' rows are removed at a store, in their order, and the
// statement that removes them from one of them.
QStringList TabelasDaLimpezaFixa();
QString ComandoDaLimpezaFixa(const QString& tabela, const QString& filial);

// Removes other branches' rows from the six fixed tables, empties the PAF tables and runs the
// maintenance options' clean-up (none without options). Reports its own errors and always
// returns.
void LimparOutrasFiliais(TOperador& op, TDM& dm, const QString& filial,
                         const std::optional<TConfiguracoes>& opcoes);

} // namespace marvek

#pragma once

#include <QString>
#include <QStringList>

namespace marvek {

class TConfiguracoes;
class TDM;
class TOperador;

// The 19 PAF work tables, in the order they are emptied.
QStringList ListaTabelasPAF();

// The installation's branch id (CodFisica of sistema_qel.ini) as text; logs
// "Obter Cod. Filial: " + id. Raises "Filial inválida, verifique o arquivo sistema_qel.ini"
// when it is 0, missing or not a number.
QString ObterCodFilial(TOperador& op);

// Writes the built-in table list to query.txt in the program folder (replacing it) and points
// the maintenance options' list files at it.
void GerarQueryTxt(TConfiguracoes* opcoes);
// The path query.txt was last written to ("" before the first GerarQueryTxt).
QString CaminhoQueryTxt();
// The built-in table list, byte for byte.
QByteArray ConteudoQueryTxt();

void TruncarTabelas(TOperador& op, TDM& dm, const QStringList& tabelas);
void DeletarRegistros(TOperador& op, TDM& dm, const QStringList& tabelas, const QString& filial);

// The six tables whose other branches' rows are removed at a store, in their order, and the
// statement that removes them from one of them.
QStringList TabelasDaLimpezaFixa();
QString ComandoDaLimpezaFixa(const QString& tabela, const QString& filial);

// Removes other branches' rows from the six fixed tables, empties the PAF tables and runs the
// maintenance options' clean-up. Reports its own errors and always returns.
// opcoes: the maintenance options, or nullptr (none).
void LimparOutrasFiliais(TOperador& op, TDM& dm, const QString& filial, TConfiguracoes* opcoes);

} // namespace marvek

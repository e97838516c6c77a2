#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

namespace teste {

// A small retail database for the operations' tests: filial with the given branches (ids, the
// office flag of each), caixa and cidades, the six tables of the purge with rows of every
// branch, the PAF tables with rows, nlanc and numlanc.
struct TFilialTeste {
    int id;
    QString escritorio; // "S", "N", "" or "NULL"
    QString apagado = QStringLiteral("N");
};
void CriarBancoVarejo(const QString& banco, const QList<TFilialTeste>& filiais);

class TOperadorGravador;

// "The central archive for branch N": the backup of the database banco for that branch into
// the folder pasta, by the program's own backup on one connection. Returns the archive's path,
// or "" when it was not written (op.Mostrados says why).
QString ArquivoCentral(TOperadorGravador& op, const QString& banco, int filial,
                       const QString& pasta);
// The same, of a new retail database with these branches; a failure ends the test program.
QString ArquivoCentral(const QString& banco, const QList<TFilialTeste>& filiais, int filial,
                       const QString& pasta);

// Turns the retail database into one of every carried engine: filial, movment and a third of the
// other tables InnoDB, caixa and another third Aria (transactional and not), the rest MyISAM.
// Returns each table's engine.
QMap<QString, QString> MisturarMotores(const QString& banco);

// The tables of the purge.
QStringList TabelasDaLimpeza();

// The names in an archive, sorted.
QStringList EntradasDoZip(const QString& arquivo);

} // namespace teste

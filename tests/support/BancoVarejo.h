#pragma once

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

// The tables of the purge.
QStringList TabelasDaLimpeza();

// The names in an archive, sorted.
QStringList EntradasDoZip(const QString& arquivo);

} // namespace teste

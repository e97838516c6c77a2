#pragma once

#include "data/TDM.h"

#include <QString>
#include <QStringList>

namespace teste {

// The private server started by the test fixture (MYSQL_UNIX_PORT).
QString SocketServidor();

// A connection of its own to the private server, as root, for preparing and checking data.
marvek::TDM& Admin();

// Runs one statement.
void Sql(const QString& sql);
// Every row of a query, the columns of a row joined with "|", NULL written as "NULL".
QStringList Linhas(const QString& sql);
QString Valor(const QString& sql);

// Drops the database if it exists and creates it empty.
void RecriarBanco(const QString& nome);
// Drops every database whose name begins with the prefix.
void ApagarBancos(const QString& prefixo);

// Writes sistema_qel.ini in the folder: [ip] local=localhost, database, usuario=root, senha=
// (empty password), and [FilialMatriz] CodFisica when codFisica is not empty.
void EscreverIni(const QString& pasta, const QString& banco, const QString& codFisica = {});

// CHECKSUM TABLE value of banco.tabela.
QString Checksum(const QString& banco, const QString& tabela);

} // namespace teste

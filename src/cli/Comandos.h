#pragma once

#include <QString>

namespace marvek {

// The commands of marvek-cli. Each returns the exit code (see CodigoSaida) and writes its own
// texts; the program folder has been set before.

// Connects as the window does, checks that the branch is live, then runs the central backup.
int ComandoBackup(int filial, const QString& destino, int conexoes);

// The restore run as after a start without maintenance login; the closing question is
// answered with navirel.
int ComandoRestaurar(const QString& arquivo, bool navirel, int conexoes);

// Checks an archive without touching any database: one line per table (name, size).
int ComandoVerificar(const QString& arquivo);

// Moves the tables of an aside database back into the working database.
int ComandoReverter(const QString& bancoReserva);

// Reads a password from stdin (without echo on a terminal) and writes its enciphered form.
int ComandoCifrarSenha();

} // namespace marvek

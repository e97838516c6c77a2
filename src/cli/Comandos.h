#pragma once

#include "cli/LinhaDeComando.h"

namespace marvek {

// The commands of marvek-cli. Each takes the command line read, returns the exit code (see
// CodigoSaida) and writes its own texts; the program folder has been set before. Under --json
// each ends with one JSON object on stdout, also when it fails.

// Connects as the window does, checks that the branch is live, then runs the central backup.
int ComandoBackup(const TLinhaDeComando& linha);

// The restore run as after a start without maintenance login; the closing question is
// answered with --navirel.
int ComandoRestaurar(const TLinhaDeComando& linha);

// Checks an archive without touching any database: what the archive says about itself, then
// one line per table (name, size).
int ComandoVerificar(const TLinhaDeComando& linha);

// Moves the tables of an aside database back into the working database.
int ComandoReverter(const TLinhaDeComando& linha);

// Lists the aside databases of the working database; drops the oldest beyond --manter N.
int ComandoReservas(const TLinhaDeComando& linha);
int ComandoLimparReservas(const TLinhaDeComando& linha);

// Reads a password from stdin (without echo on a terminal) and writes its enciphered form.
int ComandoCifrarSenha();

} // namespace marvek

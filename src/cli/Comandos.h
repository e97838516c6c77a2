#pragma once

namespace marvek {

class TComando;

// The commands of marvek-cli, one object each; Comandos() lists them. Each writes its own
// texts and, under --json, ends with one JSON object on stdout, also when it fails.
const TComando& ComandoBackup();
const TComando& ComandoRestaurar();
const TComando& ComandoVerificar();
const TComando& ComandoReverter();
const TComando& ComandoReservas();
const TComando& ComandoLimparReservas();
const TComando& ComandoCifrarSenha();

} // namespace marvek

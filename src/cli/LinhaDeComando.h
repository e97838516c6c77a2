#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace marvek {

// Exit codes of marvek-cli.
enum CodigoSaida : int {
    SaidaSucesso = 0,     // the operation ended well
    SaidaFalha = 1,       // the operation reported an error
    SaidaUsoIncorreto = 2 // wrong usage: message and usage on stderr
};

// The command line of marvek-cli, read but not yet acted upon.
struct TLinhaDeComando {
    bool ajuda = false;
    bool versao = false;
    QString comando; // backup, restaurar, verificar, cifrar-senha
    std::optional<QString> pasta;
    std::optional<QString> filial;
    std::optional<QString> destino;
    std::optional<QString> conexoes;
    bool navirel = false;
    QStringList argumentos; // what is not an option (the archive)
};

// Reads the arguments (without the program name). On wrong usage returns the reason; on
// success an empty text. --help and --version win over everything else that is sound.
QString AnalisarLinhaDeComando(const QStringList& argumentos, TLinhaDeComando& linha);

// The usage lines (for wrong usage) and the whole help text (--help).
QString TextoUso();
QString TextoAjuda();

// The number of server connections of --conexoes: 1 to 16.
std::optional<int> LerConexoes(const QString& texto);

// A branch id as the backup takes it: an optional minus and decimal digits that fit an int.
std::optional<int> LerIdFilial(const QString& texto);

} // namespace marvek

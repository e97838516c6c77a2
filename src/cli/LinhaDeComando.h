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
    bool ajuda = false;  // -h, --help, or the command help: the help of comando, or the
                         // general help when comando is empty
    bool versao = false; // -V, --version
    QString comando;     // backup, restaurar, verificar, reverter, cifrar-senha
    std::optional<QString> pasta;
    std::optional<QString> filial;
    std::optional<QString> destino;
    std::optional<QString> conexoes;
    bool navirel = false;
    QStringList argumentos; // what is not an option (the archive, the aside database)
};

// Reads the arguments (without the program name): the options before the command (--pasta,
// -h, -V), the command, then that command's own options and arguments, each command with a
// parser of its own. On wrong usage returns the reason; on success an empty text. A help or
// version request wins over everything else that is sound.
QString AnalisarLinhaDeComando(const QStringList& argumentos, TLinhaDeComando& linha);

// The usage lines of every command (for wrong usage), the whole help text, and the help of one
// command ("" for a command that does not exist).
QString TextoUso();
QString TextoAjuda();
QString TextoAjudaDoComando(const QString& comando);

// The number of server connections of --conexoes: 1 to 16.
std::optional<int> LerConexoes(const QString& texto);

// A branch id as the backup takes it: an optional minus and decimal digits that fit an int.
std::optional<int> LerIdFilial(const QString& texto);

} // namespace marvek

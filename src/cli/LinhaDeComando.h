#pragma once

#include <QString>
#include <QStringList>
#include <optional>

namespace marvek {

// Exit codes of marvek-cli.
enum CodigoSaida : int {
    SaidaSucesso = 0,      // the operation ended well
    SaidaFalha = 1,        // the operation reported an error
    SaidaUsoIncorreto = 2, // wrong usage: message and usage on stderr
    // 75: another run holds the lock (SaidaOcupada); 128 + the signal: interrupted
};

// The command line of marvek-cli, read but not yet acted upon.
struct TLinhaDeComando {
    bool ajuda = false;  // -h, --help, or the command help: the help of comando, or the
                         // general help when comando is empty
    bool versao = false; // -V, --version
    QString comando;     // backup, restaurar, verificar, reverter, reservas, limpar-reservas,
                         // cifrar-senha
    std::optional<QString> pasta;
    std::optional<QString> filial;
    std::optional<QString> destino;
    std::optional<QString> conexoes;
    std::optional<QString> extrairEm;
    std::optional<QString> manter;
    bool navirel = false;
    bool silencioso = false; // -q: only errors, on stderr
    bool json = false;       // one JSON object on stdout at the end
    bool outraFilial = false;
    bool simular = false;
    bool nomes = false;     // reservas: only the names
    bool sim = false;       // limpar-reservas: no question
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

// How many aside databases limpar-reservas keeps: 1 or more (the newest may hold what the last
// run set aside, and is never dropped).
std::optional<int> LerManter(const QString& texto);

// A branch id as the backup takes it: an optional minus and decimal digits that fit an int.
std::optional<int> LerIdFilial(const QString& texto);

} // namespace marvek

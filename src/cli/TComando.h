#pragma once

#include "cli/LinhaDeComando.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace marvek {

// An option of a command: its names (the first one is the long one), the name of its value
// ("" for a switch), its line in the help, and whether the command needs it.
struct TOpcaoCli {
    QStringList nomes;
    QString valor;
    QString ajuda;
    bool obrigatoria = false;
    bool operator==(const TOpcaoCli& o) const { return nomes == o.nomes; }
};

// The options several commands share, and the two every command answers.
extern const TOpcaoCli OpcaoPasta;
extern const TOpcaoCli OpcaoConexoes;
extern const TOpcaoCli OpcaoSilencioso;
extern const TOpcaoCli OpcaoJson;
extern const TOpcaoCli OpcaoAjuda;
extern const TOpcaoCli OpcaoVersao;

// A command of marvek-cli: its name, what it does, its options and its one argument, the
// checks of its own line, and what it runs. The usage line is made from the options.
class TComando {
public:
    virtual ~TComando() = default;
    virtual QString Nome() const = 0;
    // What it does, lines of the help (without the final period).
    virtual QString Resumo() const = 0;
    // Its options, in the order of its usage line.
    virtual QList<TOpcaoCli> Opcoes() const = 0;
    // Its one argument ("" when it takes none).
    virtual QString Argumento() const { return {}; }
    // What is wrong with a line the parser took, beyond the checks every command shares ("").
    virtual QString Conferir(const TLinhaDeComando&) const { return {}; }
    // Runs it; returns the exit code (see CodigoSaida). The program folder has been set.
    virtual int Executar(const TLinhaDeComando& linha) const = 0;

    // "[--pasta DIR] name ARGUMENT --needed VALUE [--optional VALUE] ...", broken before 80
    // columns as "  marvek-cli " + the line shows it; -q, --json and --help are left out.
    QString Uso() const;
    bool Aceita(const TOpcaoCli& opcao) const { return Opcoes().contains(opcao); }
};

// The one object of a command class.
template <typename T> const TComando& Unico() {
    static const T comando;
    return comando;
}

// Every command, in the order of the help: the one table from which the parser, the usage,
// the help texts, and the checks of the manual page and of the bash completion are made.
const QList<const TComando*>& Comandos();
const TComando* AcharComando(const QString& nome);

} // namespace marvek

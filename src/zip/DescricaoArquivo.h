#pragma once

#include <QDateTime>
#include <QString>
#include <optional>

namespace marvek {

// What a backup archive says about itself, in the archive's comment: the branch it was made
// for, the database it came from, when, and by which version of the program. Other tools show
// the comment or pass it over; an archive without it has no description.
struct TDescricaoArquivo {
    int filial = 0;
    QString nomeFilial;
    QString banco;
    QDateTime data;
    QString versao;
};

// The comment's text: a first line that names the format, then one key=value per line.
QString TextoDaDescricao(const TDescricaoArquivo& d);

// The description a comment holds; nothing when the comment is not one (another tool's
// comment, none at all, a branch that is not a number).
std::optional<TDescricaoArquivo> LerDescricao(const QString& comentario);

// The description in the archive's comment. Raises EErro when the archive cannot be opened.
std::optional<TDescricaoArquivo> DescricaoDoArquivo(const QString& arquivoZip);

// One line for people: "filial 7 (Loja Centro), banco gerente, 2026-12-10 23:30:01, Marvek
// 1.0.0".
QString ResumoDaDescricao(const TDescricaoArquivo& d);

} // namespace marvek

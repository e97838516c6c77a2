#pragma once

#include "zip/MotorZip.h"

#include <QString>
#include <QStringList>
#include <functional>
#include <memory>

namespace marvek {

// Packs files into a flat archive while its caller goes on with other work: every file handed
// to Adicionar is compressed at once on worker threads (deflate level 6, in blocks of 1 MiB that
// continue one stream per file, so one large file keeps every core busy), and Concluir writes the
// archive from the compressed parts. Files are read in blocks, never whole.
class TCompactador {
public:
    explicit TCompactador(const QString& arquivoZip);
    ~TCompactador();
    TCompactador(const TCompactador&) = delete;
    TCompactador& operator=(const TCompactador&) = delete;

    // The archive's comment (UTF-8), written with the archive.
    void DefinirComentario(const QString& texto);

    // Starts compressing the file now.
    void Adicionar(const QString& arquivo);

    // Writes the archive with exactly these files, in this order, under their bare names: files
    // already added are taken as compressed; the others are compressed now. The archive is
    // written under a temporary name beside it and renamed at the end. Raises EErro on failure.
    // conferir, when given, checks the written archive under its temporary name (raising
    // EErro) before it takes the final name.
    void Concluir(const QStringList& arquivos, const FuncaoProcessar& processar = {},
                  const std::function<void(const QString&)>& conferir = {});

private:
    struct Estado;
    std::unique_ptr<Estado> m;
};

} // namespace marvek

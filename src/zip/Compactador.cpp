#include "zip/Compactador.h"

#include "base/EErro.h"
#include "plataforma/Plataforma.h"
#include "zip/FluxoDeflate.h"
#include "zip/PonteirosZip.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QTemporaryDir>
#include <QTemporaryFile>
#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <map>
#include <mutex>
#include <vector>
#include <zip.h>
#include <zlib.h>

namespace marvek {

namespace {

struct Arquivo {
    // Set when the file is added, read-only afterwards.
    QString caminho;
    QString nome;
    QString parte; // the compressed stream of the file
    qint64 tamanho = 0;
    qint64 blocos = 0;
    time_t alterado = 0;
    bool guardar = false;
    QString erro; // the file could not be taken in

    // Under the mutex: the blocks compressed and not yet written, and whether a task is
    // writing them.
    std::map<qint64, TBlocoComprimido> prontos;
    qint64 escritos = 0;
    bool gravando = false;

    // Only the task that holds gravando touches these, and the read-back after the last block.
    std::unique_ptr<QFile> saida;
    qint64 gravados = 0; // blocks written
    qint64 comprimido = 0;
    quint32 crc = 0;
    quint32 crcGravado = 0; // of the compressed stream, as it goes into the archive
};

// The archive takes each compressed stream as it is: the source declares deflate, the sizes and
// the CRC, and the library copies the data without compressing it again.
struct FonteParte {
    QByteArray caminho;
    zip_uint64_t tamanho = 0;
    zip_uint64_t comprimido = 0;
    zip_uint32_t crc = 0;
    time_t alterado = 0;
    FILE* f = nullptr;
    zip_error_t erro;
};

zip_int64_t lerParte(void* estado, void* dados, zip_uint64_t n, zip_source_cmd_t comando) {
    auto* p = static_cast<FonteParte*>(estado);
    switch (comando) {
    case ZIP_SOURCE_OPEN:
        p->f = std::fopen(p->caminho.constData(), "rb");
        if (!p->f) {
            zip_error_set(&p->erro, ZIP_ER_OPEN, errno);
            return -1;
        }
        return 0;
    case ZIP_SOURCE_READ: {
        const size_t lidos = std::fread(dados, 1, static_cast<size_t>(n), p->f);
        if (lidos < n && std::ferror(p->f)) {
            zip_error_set(&p->erro, ZIP_ER_READ, errno);
            return -1;
        }
        return static_cast<zip_int64_t>(lidos);
    }
    case ZIP_SOURCE_CLOSE:
        if (p->f)
            std::fclose(p->f);
        p->f = nullptr;
        return 0;
    case ZIP_SOURCE_STAT: {
        auto* st = static_cast<zip_stat_t*>(dados);
        zip_stat_init(st);
        st->valid = ZIP_STAT_SIZE | ZIP_STAT_COMP_SIZE | ZIP_STAT_COMP_METHOD | ZIP_STAT_CRC |
                    ZIP_STAT_MTIME | ZIP_STAT_ENCRYPTION_METHOD;
        st->size = p->tamanho;
        st->comp_size = p->comprimido;
        st->comp_method = ZIP_CM_DEFLATE;
        st->encryption_method = ZIP_EM_NONE;
        st->crc = p->crc;
        st->mtime = p->alterado;
        return sizeof(zip_stat_t);
    }
    case ZIP_SOURCE_ERROR:
        return zip_error_to_data(&p->erro, dados, n);
    case ZIP_SOURCE_FREE:
        if (p->f)
            std::fclose(p->f);
        zip_error_fini(&p->erro);
        delete p;
        return 0;
    case ZIP_SOURCE_SUPPORTS:
        return ZIP_SOURCE_SUPPORTS_READABLE;
    default:
        zip_error_set(&p->erro, ZIP_ER_OPNOTSUPP, 0);
        return -1;
    }
}

// The written archive read back whole before it takes the final name: every entry with its
// name and sizes, a compressed entry's bytes as they were written and read back (inflated)
// during the compression, a stored entry's bytes against its CRC.
void conferirGravado(const QString& caminho, const QList<Arquivo*>& lista,
                     const FuncaoProcessar& processar) {
    const QList<TEntradaZip> entradas = ListarEntradas(caminho);
    const QList<TDadosGravados> gravados = LerDadosGravados(caminho, processar);
    if (entradas.size() != lista.size())
        throw EErro(QStringLiteral("o arquivo tem %1 entradas em vez de %2")
                        .arg(entradas.size())
                        .arg(lista.size()));
    for (qsizetype i = 0; i < lista.size(); ++i) {
        const Arquivo& a = *lista[i];
        const TEntradaZip& e = entradas[i];
        const TDadosGravados& g = gravados[i];
        if (e.nome != a.nome || e.tamanho != static_cast<quint64>(a.tamanho))
            throw EErro(
                QStringLiteral("%1 não entrou com os seus %2 bytes").arg(a.caminho).arg(a.tamanho));
        const bool confere = a.guardar ? g.tamanho == e.tamanho && g.crc == e.crc
                                       : e.crc == a.crc &&
                                             g.tamanho == static_cast<quint64>(a.comprimido) &&
                                             g.crc == a.crcGravado;
        if (!confere)
            throw EErro(
                QStringLiteral("a entrada %1 não confere com o que foi compactado").arg(a.nome));
    }
}

} // namespace

struct TCompactador::Estado {
    QString arquivoZip;
    QByteArray comentario;
    std::unique_ptr<QTemporaryDir> partes;
    std::mutex mutex;
    // Blocks compressed and not yet written are held to a few per worker: a block that is not
    // the next one of its file waits until the writer catches up.
    std::condition_variable gravou;
    int parados = 0;
    int limiteParados = 8;
    bool falhou = false; // a task failed: nobody waits for a writer any more
    std::deque<std::unique_ptr<Arquivo>> arquivos;
    QHash<QString, Arquivo*> porCaminho;
    // Declared last, so that its threads are joined before anything they use goes.
    std::unique_ptr<TGrupoDeTrabalho> grupo;

    void comprimir(Arquivo& a, qint64 bloco);
    void gravar(Arquivo& a);
    void escreverArquivo(const QList<Arquivo*>& lista, const QString& caminho);
};

void TCompactador::Estado::comprimir(Arquivo& a, qint64 bloco) {
    try {
        TBlocoComprimido b = ComprimirBloco(a.caminho, bloco, bloco == a.blocos - 1);
        {
            std::unique_lock<std::mutex> trava(mutex);
            gravou.wait(trava,
                        [&] { return falhou || bloco == a.escritos || parados < limiteParados; });
            if (falhou)
                return;
            a.prontos.emplace(bloco, std::move(b));
            ++parados;
            if (a.gravando)
                return; // the task that writes this file takes it in turn
            a.gravando = true;
        }
        gravar(a);
    } catch (...) {
        {
            std::lock_guard<std::mutex> trava(mutex);
            falhou = true;
        }
        gravou.notify_all();
        throw;
    }
}

// Writes the file's blocks that are ready, in order, outside the lock; after the last one the
// written stream is read back.
void TCompactador::Estado::gravar(Arquivo& a) {
    for (;;) {
        std::vector<TBlocoComprimido> lote;
        bool ultimo = false;
        {
            std::lock_guard<std::mutex> trava(mutex);
            for (auto it = a.prontos.find(a.escritos); it != a.prontos.end();
                 it = a.prontos.find(a.escritos)) {
                lote.push_back(std::move(it->second));
                a.prontos.erase(it);
                ++a.escritos;
            }
            if (lote.empty()) {
                a.gravando = false;
                return;
            }
            parados -= static_cast<int>(lote.size());
            ultimo = a.escritos == a.blocos;
        }
        gravou.notify_all();
        for (const TBlocoComprimido& b : lote) {
            if (a.saida->write(b.saida) != b.saida.size())
                throw EErro(QStringLiteral("Não foi possível gravar %1: %2")
                                .arg(a.parte, a.saida->errorString()));
            a.crc = a.gravados++ == 0
                        ? b.crc
                        : static_cast<quint32>(crc32_combine(a.crc, b.crc, b.tamanho));
            a.comprimido += b.saida.size();
        }
        if (ultimo) {
            if (!a.saida->flush())
                throw EErro(QStringLiteral("Não foi possível gravar %1: %2")
                                .arg(a.parte, a.saida->errorString()));
            a.saida->close();
            // Read back while the caller goes on, so that the archive's final check need not
            // inflate everything again.
            a.crcGravado = ConferirFluxo(a.parte, a.tamanho, a.crc);
            return;
        }
    }
}

// Writes the archive from the compressed parts (stored files from the files themselves).
void TCompactador::Estado::escreverArquivo(const QList<Arquivo*>& lista, const QString& caminho) {
    int codigo = 0;
    ZipPtr z(zip_open(QFile::encodeName(caminho).constData(), ZIP_TRUNCATE, &codigo));
    if (!z)
        throw EErro(TextoErroZip(codigo));
    for (const Arquivo* a : lista) {
        FonteZipPtr fonte;
        if (a->guardar) {
            fonte.reset(zip_source_file(z.get(), QFile::encodeName(a->caminho).constData(), 0, -1));
        } else {
            auto p = std::make_unique<FonteParte>();
            p->caminho = QFile::encodeName(a->parte);
            p->tamanho = static_cast<zip_uint64_t>(a->tamanho);
            p->comprimido = static_cast<zip_uint64_t>(a->comprimido);
            p->crc = a->crc;
            p->alterado = a->alterado;
            zip_error_init(&p->erro);
            fonte.reset(zip_source_function(z.get(), lerParte, p.get()));
            if (fonte)
                p.release(); // the source frees it
            else
                zip_error_fini(&p->erro);
        }
        const zip_int64_t indice =
            fonte ? zip_file_add(z.get(), a->nome.toUtf8().constData(), fonte.get(),
                                 ZIP_FL_ENC_UTF_8 | ZIP_FL_OVERWRITE)
                  : -1;
        if (indice < 0)
            throw EErro(QStringLiteral("Não foi possível incluir %1: %2")
                            .arg(a->caminho, QString::fromLocal8Bit(zip_strerror(z.get()))));
        fonte.release(); // the archive owns it now
        if (a->guardar)
            zip_set_file_compression(z.get(), static_cast<zip_uint64_t>(indice), ZIP_CM_STORE, 0);
    }
    if (!comentario.isEmpty() &&
        zip_set_archive_comment(z.get(), comentario.constData(),
                                static_cast<zip_uint16_t>(comentario.size())) != 0)
        throw EErro(QString::fromLocal8Bit(zip_strerror(z.get())));
    if (zip_close(z.get()) != 0)
        throw EErro(QString::fromLocal8Bit(zip_strerror(z.get())));
    z.release(); // closed
}

void TCompactador::DefinirComentario(const QString& texto) {
    // A ZIP comment holds at most 65535 bytes.
    m->comentario = texto.toUtf8().left(0xFFFF);
}

TCompactador::TCompactador(const QString& arquivoZip) : m(std::make_unique<Estado>()) {
    m->arquivoZip = arquivoZip;
    const QFileInfo destino(arquivoZip);
    m->partes =
        std::make_unique<QTemporaryDir>(destino.absolutePath() + QStringLiteral("/.") +
                                        destino.fileName() + QStringLiteral(".partes-XXXXXX"));
    if (!m->partes->isValid())
        throw EErro(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                        .arg(arquivoZip, m->partes->errorString()));
    // The copy loop's marker UPDATEs run in the server on these same cores and are the
    // backup's critical path; the compression takes what they leave.
    const int n = TGrupoDeTrabalho::Nucleos(8);
    m->limiteParados = 4 * n;
    m->grupo = std::make_unique<TGrupoDeTrabalho>(n);
}

TCompactador::~TCompactador() = default;

void TCompactador::Adicionar(const QString& arquivo) {
    const QFileInfo info(arquivo);
    auto novo = std::make_unique<Arquivo>();
    Arquivo& a = *novo;
    a.caminho = info.absoluteFilePath();
    a.nome = info.fileName();
    a.tamanho = info.size();
    a.alterado = static_cast<time_t>(info.lastModified().toSecsSinceEpoch());
    a.guardar = ArmazenarSemCompressao(a.nome);
    {
        std::lock_guard<std::mutex> trava(m->mutex);
        if (m->porCaminho.contains(a.caminho))
            return;
        a.parte = m->partes->filePath(QString::number(m->arquivos.size()));
        m->porCaminho.insert(a.caminho, &a);
        m->arquivos.push_back(std::move(novo));
    }
    if (!info.isFile()) {
        a.erro = QStringLiteral("O arquivo %1 não existe").arg(arquivo);
        return;
    }
    if (a.guardar)
        return; // stored as it is
    a.saida = std::make_unique<QFile>(a.parte);
    if (!a.saida->open(QIODevice::WriteOnly)) {
        a.erro =
            QStringLiteral("Não foi possível criar %1: %2").arg(a.parte, a.saida->errorString());
        return;
    }
    // an empty file still has one (empty) block: the stream's end
    a.blocos = std::max<qint64>(1, (a.tamanho + TamanhoBloco - 1) / TamanhoBloco);
    Estado* e = m.get();
    for (qint64 b = 0; b < a.blocos; ++b)
        m->grupo->Enviar([e, &a, b] { e->comprimir(a, b); });
}

void TCompactador::Concluir(const QStringList& arquivos, const FuncaoProcessar& processar,
                            const std::function<void(const QString&)>& conferir) {
    for (const QString& a : arquivos)
        Adicionar(a);

    QList<Arquivo*> lista;
    QSet<QString> nomes;
    for (const QString& caminho : arquivos) {
        Arquivo* a = m->porCaminho.value(QFileInfo(caminho).absoluteFilePath());
        if (nomes.contains(a->nome.toUpper()))
            throw EErro(QStringLiteral("Dois arquivos com o nome %1").arg(a->nome));
        nomes.insert(a->nome.toUpper());
        lista.append(a);
    }

    const QFileInfo destino(m->arquivoZip);
    QTemporaryFile temporario(destino.absolutePath() + QStringLiteral("/.") + destino.fileName() +
                              QStringLiteral(".XXXXXX"));
    if (!temporario.open())
        throw EErro(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                        .arg(m->arquivoZip, temporario.errorString()));
    const QString caminhoTemporario = temporario.fileName();
    temporario.close();

    try {
        // Every block compressed, written and read back.
        m->grupo->Aguardar(processar);
        for (const Arquivo* a : lista)
            if (!a->erro.isEmpty())
                throw EErro(a->erro);
        m->grupo->Enviar([&] { m->escreverArquivo(lista, caminhoTemporario); });
        m->grupo->Aguardar(processar);
    } catch (const EErro& e) {
        QFile::remove(caminhoTemporario);
        throw EErro(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                        .arg(m->arquivoZip, e.Mensagem()));
    }
    if (!QFile::exists(caminhoTemporario)) {
        // An archive without entries is removed by the library; it is written by hand: the
        // end-of-central-directory record alone.
        QFile vazio(caminhoTemporario);
        const QByteArray fim("PK\x05\x06" + QByteArray(18, '\0'));
        if (!vazio.open(QIODevice::WriteOnly) || vazio.write(fim) != fim.size())
            throw EErro(QStringLiteral("Não foi possível gravar o arquivo %1").arg(m->arquivoZip));
    }
    try {
        conferirGravado(caminhoTemporario, lista, processar);
        if (conferir)
            conferir(caminhoTemporario);
    } catch (const EErro& e) {
        QFile::remove(caminhoTemporario);
        throw EErro(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                        .arg(m->arquivoZip, e.Mensagem()));
    }
    // Readable by its owner alone (it holds the whole database), on the disk, and only then
    // under the final name, in one step over the previous archive: until this rename the last
    // good archive stays as it was.
    try {
        if (!QFile::setPermissions(caminhoTemporario,
                                   QFileDevice::ReadOwner | QFileDevice::WriteOwner))
            throw EErro(QStringLiteral("não foi possível protegê-lo"));
        SincronizarNoDisco(caminhoTemporario);
        if (std::rename(QFile::encodeName(caminhoTemporario).constData(),
                        QFile::encodeName(m->arquivoZip).constData()) != 0)
            throw EErro(TextoDoErro(errno, m->arquivoZip));
    } catch (const EErro& e) {
        QFile::remove(caminhoTemporario);
        throw EErro(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                        .arg(m->arquivoZip, e.Mensagem()));
    }
    SincronizarNoDisco(destino.absolutePath());
}

} // namespace marvek

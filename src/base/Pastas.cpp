#include "base/Pastas.h"

#include "base/EErro.h"
#include "plataforma/Plataforma.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace marvek {

namespace {
QString& pastaDefinida() {
    static QString pasta;
    return pasta;
}
} // namespace

QString ComBarra(QString pasta) {
    if (!pasta.endsWith(QLatin1Char('/')))
        pasta += QLatin1Char('/');
    return pasta;
}

QString PastaDoPrograma() {
    if (!pastaDefinida().isEmpty())
        return pastaDefinida();
    QString pasta;
    if (QCoreApplication::instance())
        pasta = QCoreApplication::applicationDirPath();
    else
        pasta = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath().section('/', 0, -2);
    return ComBarra(pasta);
}

void DefinirPastaDoPrograma(const QString& pasta) {
    pastaDefinida() = pasta.isEmpty() ? QString() : ComBarra(QDir(pasta).absolutePath());
}

QString ArquivoDoPrograma(const QString& nome) {
    return PastaDoPrograma() + nome;
}

// A packaged build names the system's folders at build time; a plain build, and any run whose
// program folder was named, keeps everything in the program folder.
static QString pastaDoSistemaOuDoPrograma(const QString& sistema) {
    return pastaDefinida().isEmpty() && !sistema.isEmpty() ? ComBarra(sistema) : PastaDoPrograma();
}

QString PastaDeConfiguracao() {
    return pastaDoSistemaOuDoPrograma(QStringLiteral(MARVEK_PASTA_CONFIGURACAO));
}

QString PastaDeDados() {
    return pastaDoSistemaOuDoPrograma(QStringLiteral(MARVEK_PASTA_DADOS));
}

const QString MarcaPastaPropria = QStringLiteral(".marvek");

namespace {
QString semBarra(QString pasta) {
    while (pasta.size() > 1 && (pasta.endsWith(QLatin1Char('/')) || pasta.endsWith('\\')))
        pasta.chop(1);
    return pasta;
}

void marcar(const QString& p) {
    QFile marca(p + QLatin1Char('/') + MarcaPastaPropria);
    const QByteArray texto("Pasta de trabalho do Marvek: pode ser apagada inteira.\n");
    if (!marca.open(QIODevice::NewOnly, QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        marca.write(texto) != texto.size())
        throw EErro(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                        .arg(marca.fileName(), marca.errorString()));
}
} // namespace

bool VerificarPastaPropria(const QString& pasta) {
    const QString p = semBarra(pasta);
    const QFileInfo info(p);
    if (info.isSymLink())
        throw EErro(QStringLiteral("%1 é um link simbólico; o Marvek só esvazia uma pasta de "
                                   "trabalho criada por ele. Remova o link e tente de novo; nada "
                                   "foi alterado.")
                        .arg(p));
    if (!info.exists())
        return false;
    if (!info.isDir())
        throw EErro(QStringLiteral("%1 já existe e não é uma pasta. Remova ou renomeie o arquivo "
                                   "e tente de novo; nada foi alterado.")
                        .arg(p));
    // A work folder holds a copy of the database: another user who owns it, or may write into
    // it, could read that copy or put files of his own in place of the program's.
    const QString motivo = MotivoDeDesconfianca(p);
    if (!motivo.isEmpty())
        throw EErro(QStringLiteral("A pasta %1 %2; o Marvek só usa uma pasta de trabalho que "
                                   "só o usuário que o executa pode alterar. Remova a pasta (ou "
                                   "escolha outra) e tente de novo; nada foi alterado.")
                        .arg(p, motivo));
    const QFileInfo marca(p + QLatin1Char('/') + MarcaPastaPropria);
    if (marca.isFile() && !marca.isSymLink())
        return true;
    // An empty folder of this user holds nothing of anyone's: it may be taken over (a work
    // folder without the mark, once emptied, is one).
    if (QDir(p).isEmpty(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        return true;
    throw EErro(QStringLiteral("A pasta %1 já existe e não foi criada pelo Marvek; ela não "
                               "será esvaziada. Mova ou renomeie a pasta e tente de novo; "
                               "nada foi alterado.")
                    .arg(p));
}

void CriarPastaPropria(const QString& pasta) {
    const QString p = semBarra(pasta);
    if (!VerificarPastaPropria(p)) {
        QDir().mkpath(QFileInfo(p).absolutePath());
        // Only the one whose mkdir made the folder marks it at once; a folder that appeared
        // meanwhile is checked like any other.
        if (CriarPastaPrivada(p)) {
            try {
                marcar(p);
            } catch (const EErro&) {
                QDir().rmdir(p); // an unmarked folder left behind would block every later run
                throw;
            }
            return;
        }
        if (!VerificarPastaPropria(p))
            throw EErro(QStringLiteral("Não foi possível criar a pasta %1").arg(p));
    }
    // Readable by its owner alone, whatever mode the folder had.
    QFile::setPermissions(p,
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (!QFileInfo::exists(p + QLatin1Char('/') + MarcaPastaPropria))
        marcar(p);
}

QStringList RemoverSobras(const QString& pasta, const QString& prefixo, const QString& sufixo) {
    QStringList removidas;
    const QDir dir(pasta);
    const QFileInfoList entradas =
        dir.entryInfoList({prefixo + QLatin1Char('*') + sufixo},
                          QDir::Files | QDir::Dirs | QDir::Hidden | QDir::System |
                              QDir::NoDotAndDotDot | QDir::CaseSensitive);
    for (const QFileInfo& e : entradas) {
        if (!MotivoDeDesconfianca(e.filePath()).isEmpty() && !e.isSymLink())
            continue; // another user's: not the program's own
        bool removida = false;
        if (e.isDir() && !e.isSymLink()) {
            TTravaArquivo emUso;
            if (!emUso.TravarPasta(e.filePath()))
                continue; // a run in progress works in it
            removida = QDir(e.filePath()).removeRecursively();
        } else {
            removida = QFile::remove(e.filePath());
        }
        if (removida)
            removidas << e.filePath();
    }
    return removidas;
}

QStringList EsvaziarPasta(const QString& pasta) {
    const QString p = ComBarra(pasta);
    QDir dir(p);
    if (!dir.exists())
        return {};
    QStringList falhas;
    const QStringList arquivos =
        dir.entryList(QDir::Files | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& nome : arquivos) {
        // The mark of a folder the program made stays with the folder. A link is removed as a
        // link: QFile::remove never reaches its target.
        if (nome == MarcaPastaPropria)
            continue;
        if (!QFile::remove(p + nome))
            falhas << nome;
    }
    return falhas;
}

} // namespace marvek

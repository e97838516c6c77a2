#pragma once

#include <QDateTime>
#include <QString>
#include <functional>

namespace marvek {

// The few calls that differ between Windows and the other systems.

// Lifts a block of keyboard and mouse input held by this thread (Windows); elsewhere nothing.
void LiberarEntrada();

// Starts a program by its full path, shown normally, without waiting; every failure (a missing
// file, a file that is not executable) passes silently.
void IniciarPrograma(const QString& caminho);

// The date and the time as the aside database name writes them: on Windows the user's
// regional short date and long time formats; elsewhere ddMMyyyy and HHmmss (with "/" and ":"
// removed afterwards on both).
QString DataRegional(const QDate& data);
QString HoraRegional(const QTime& hora);

// Lowers the calling thread's scheduling priority, so that background compression gives way to
// the database server's own work on the same cores (Linux; elsewhere nothing).
void BaixarPrioridadeDaThread();

// Gives a file or folder the owner of the reference folder, so that a database server running
// under its own account can use what this program put into its data folder (Unix, when running
// as root; elsewhere nothing).
void AjustarDono(const QString& caminho, const QString& referencia);

// Why a folder or file at the path cannot be trusted as one of the program's own (not followed
// when it is a link): it belongs to another user, or group or others may write it. Empty when
// it can (always on Windows, whose folders the program does not share this way).
QString MotivoDeDesconfianca(const QString& caminho);

// Makes a folder that only the user running the program may enter (mode 0700, whatever the
// umask). False when something already stands at the path; raises EErro on any other failure.
bool CriarPastaPrivada(const QString& caminho);

// Copies a file, streaming: the source is opened without following a link and must be a
// regular file; the target is created anew (never over an existing file, never through a
// link) with mode 0600, or 0660 with paraOServidor. A full disk is said as a full disk.
void CopiarArquivoSemLinks(const QString& de, const QString& para, bool paraOServidor = false);

// Free bytes for this user on the file system of a folder (-1 when unknown). Tests may put a
// measure of their own in its place (MedidorDeEspaco), to stand for a disk about to fill up.
qint64 EspacoLivre(const QString& pasta);
std::function<qint64(const QString&)>& MedidorDeEspaco();

// True when the two paths lie on one file system (unknown counts as not).
bool MesmoSistemaDeArquivos(const QString& a, const QString& b);

// Writes what the system holds of a file, or of a folder's entries, to the disk.
void SincronizarNoDisco(const QString& caminho);

// A text for an error number of the system; a full disk says so with the path.
QString TextoDoErro(int erro, const QString& caminho);

// An exclusive lock on a file (created when missing), held while the object lives and released
// by the system when the process ends however it ends. Two objects on one file conflict also
// within one process.
class TTravaArquivo {
public:
    TTravaArquivo() = default;
    ~TTravaArquivo();
    TTravaArquivo(const TTravaArquivo&) = delete;
    TTravaArquivo& operator=(const TTravaArquivo&) = delete;

    // Takes the lock without waiting: false when someone else holds it. Raises EErro when the
    // file cannot be opened or created, or belongs to another user.
    bool Travar(const QString& arquivo);
    // The same on a folder of the program's (the lock lives with the folder, nothing is made
    // in it). False when someone else holds it.
    bool TravarPasta(const QString& pasta);
    void Liberar();

private:
    QString m_arquivo;
#ifdef Q_OS_WIN
    void* m_handle = nullptr;
#else
    int m_fd = -1;
#endif
};

} // namespace marvek

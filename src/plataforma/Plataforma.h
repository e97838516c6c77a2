#pragma once

#include <QDateTime>
#include <QString>

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
    // file cannot be opened or created.
    bool Travar(const QString& arquivo);
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

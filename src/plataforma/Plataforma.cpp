#include "plataforma/Plataforma.h"

#include "base/EErro.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#endif

#ifdef Q_OS_UNIX
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#include <QLocale>
#include <windows.h>
#endif

namespace marvek {

void LiberarEntrada() {
#ifdef Q_OS_WIN
    BlockInput(FALSE);
#endif
}

void IniciarPrograma(const QString& caminho) {
#ifdef Q_OS_WIN
    const QByteArray linha = QDir::toNativeSeparators(caminho).toLocal8Bit();
    WinExec(linha.constData(), SW_SHOW);
#else
    const QFileInfo info(caminho);
    if (!info.isFile() || !info.isExecutable())
        return;
    QProcess::startDetached(caminho, {});
#endif
}

QString DataRegional(const QDate& data) {
#ifdef Q_OS_WIN
    return QLocale::system().toString(data, QLocale::ShortFormat);
#else
    return data.toString(QStringLiteral("ddMMyyyy"));
#endif
}

QString HoraRegional(const QTime& hora) {
#ifdef Q_OS_WIN
    return QLocale::system().toString(hora, QLocale::LongFormat);
#else
    return hora.toString(QStringLiteral("HHmmss"));
#endif
}

void BaixarPrioridadeDaThread() {
#ifdef Q_OS_LINUX
    // On Linux a thread's nice value is its own: the rest of the program keeps its priority.
    const auto tid = static_cast<id_t>(::syscall(SYS_gettid));
    if (::setpriority(PRIO_PROCESS, tid, 10) != 0) {
        // Not lowered: the compression still runs, only at the usual priority.
    }
#endif
}

void AjustarDono([[maybe_unused]] const QString& caminho,
                 [[maybe_unused]] const QString& referencia) {
#ifdef Q_OS_UNIX
    struct stat st {};
    const QByteArray ref = QFile::encodeName(referencia);
    const QByteArray alvo = QFile::encodeName(caminho);
    if (::geteuid() == 0 && ::stat(ref.constData(), &st) == 0 &&
        ::chown(alvo.constData(), st.st_uid, st.st_gid) != 0) {
        // Left as it is: the server reports what it cannot open.
    }
#endif
}

TTravaArquivo::~TTravaArquivo() {
    Liberar();
}

bool TTravaArquivo::Travar(const QString& arquivo) {
    Liberar();
#ifdef Q_OS_WIN
    const std::wstring nome = QDir::toNativeSeparators(arquivo).toStdWString();
    HANDLE h = CreateFileW(nome.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_HIDDEN, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_SHARING_VIOLATION)
            return false;
        throw EErro(QStringLiteral("Não foi possível criar o arquivo %1").arg(arquivo));
    }
    m_handle = h;
#else
    const QByteArray nome = QFile::encodeName(arquivo);
    // O_NOFOLLOW: a link planted under the lock's name is refused, never followed.
    const int fd = ::open(nome.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0)
        throw EErro(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                        .arg(arquivo, QString::fromLocal8Bit(std::strerror(errno))));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int e = errno;
        ::close(fd);
        if (e == EWOULDBLOCK)
            return false;
        throw EErro(QStringLiteral("Não foi possível travar o arquivo %1: %2")
                        .arg(arquivo, QString::fromLocal8Bit(std::strerror(e))));
    }
    m_fd = fd;
#endif
    m_arquivo = arquivo;
    return true;
}

void TTravaArquivo::Liberar() {
#ifdef Q_OS_WIN
    if (m_handle)
        CloseHandle(static_cast<HANDLE>(m_handle));
    m_handle = nullptr;
#else
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
#endif
    m_arquivo.clear();
}

} // namespace marvek

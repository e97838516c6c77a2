#include "plataforma/Plataforma.h"

#include "base/EErro.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStorageInfo>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#endif

#ifdef Q_OS_UNIX
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <pwd.h>
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
        ::lchown(alvo.constData(), st.st_uid, st.st_gid) != 0) {
        // Left as it is: the server reports what it cannot open.
    }
#endif
}

#ifdef Q_OS_UNIX
namespace {
QString nomeDoUsuario(uid_t uid) {
    if (const passwd* p = ::getpwuid(uid))
        return QString::fromLocal8Bit(p->pw_name);
    return QString::number(uid);
}

QString motivo(const struct stat& st) {
    if (st.st_uid != ::geteuid())
        return QStringLiteral("pertence ao usuário %1").arg(nomeDoUsuario(st.st_uid));
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        return QStringLiteral("pode ser alterada por outros usuários");
    return QString();
}

struct TDescritor {
    int fd = -1;
    ~TDescritor() {
        if (fd >= 0)
            ::close(fd);
    }
};
} // namespace
#endif

QString TextoDoErro(int erro, const QString& caminho) {
#ifdef Q_OS_UNIX
    if (erro == ENOSPC || erro == EDQUOT || erro == EFBIG)
        return QStringLiteral("disco cheio ao gravar %1 (%2)")
            .arg(caminho, QString::fromLocal8Bit(std::strerror(erro)));
    return QStringLiteral("%1: %2").arg(caminho, QString::fromLocal8Bit(std::strerror(erro)));
#else
    return QStringLiteral("%1: erro %2").arg(caminho).arg(erro);
#endif
}

QString MotivoDeDesconfianca([[maybe_unused]] const QString& caminho) {
#ifdef Q_OS_UNIX
    struct stat st {};
    if (::lstat(QFile::encodeName(caminho).constData(), &st) != 0)
        return QString();
    return motivo(st);
#else
    return QString();
#endif
}

bool CriarPastaPrivada(const QString& caminho) {
#ifdef Q_OS_UNIX
    const QByteArray nome = QFile::encodeName(caminho);
    if (::mkdir(nome.constData(), 0700) != 0) {
        if (errno == EEXIST)
            return false;
        throw EErro(
            QStringLiteral("Não foi possível criar a pasta %1").arg(TextoDoErro(errno, caminho)));
    }
    // The umask may have taken more away, never added: 0700 exactly.
    if (::chmod(nome.constData(), 0700) != 0)
        throw EErro(QStringLiteral("Não foi possível proteger a pasta %1")
                        .arg(TextoDoErro(errno, caminho)));
    return true;
#else
    if (QFileInfo::exists(caminho))
        return false;
    if (!QDir().mkdir(caminho))
        throw EErro(QStringLiteral("Não foi possível criar a pasta %1").arg(caminho));
    return true;
#endif
}

void CopiarArquivoSemLinks(const QString& de, const QString& para, bool paraOServidor) {
#ifdef Q_OS_UNIX
    TDescritor origem;
    origem.fd = ::open(QFile::encodeName(de).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    struct stat st {};
    if (origem.fd < 0 || ::fstat(origem.fd, &st) != 0)
        throw EErro(QStringLiteral("Não foi possível ler %1").arg(TextoDoErro(errno, de)));
    if (!S_ISREG(st.st_mode))
        throw EErro(QStringLiteral("%1 não é um arquivo comum").arg(de));
    TDescritor destino;
    destino.fd = ::open(QFile::encodeName(para).constData(),
                        O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (destino.fd < 0)
        throw EErro(QStringLiteral("Não foi possível criar %1").arg(TextoDoErro(errno, para)));
    bool ok = ::fchmod(destino.fd, paraOServidor ? 0660 : 0600) == 0;
    QByteArray bloco(1 << 20, Qt::Uninitialized);
    while (ok) {
        const ssize_t lidos = ::read(origem.fd, bloco.data(), static_cast<size_t>(bloco.size()));
        if (lidos < 0 && errno == EINTR)
            continue;
        if (lidos < 0) {
            const int e = errno;
            ::unlink(QFile::encodeName(para).constData());
            throw EErro(QStringLiteral("Não foi possível ler %1").arg(TextoDoErro(e, de)));
        }
        if (lidos == 0)
            break;
        for (ssize_t feitos = 0; feitos < lidos;) {
            const ssize_t n = ::write(destino.fd, bloco.constData() + feitos,
                                      static_cast<size_t>(lidos - feitos));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                const int e = n < 0 ? errno : ENOSPC;
                ::unlink(QFile::encodeName(para).constData());
                throw EErro(
                    QStringLiteral("Não foi possível copiar %1: %2").arg(de, TextoDoErro(e, para)));
            }
            feitos += n;
        }
    }
    if (!ok) {
        const int e = errno;
        ::unlink(QFile::encodeName(para).constData());
        throw EErro(QStringLiteral("Não foi possível proteger %1").arg(TextoDoErro(e, para)));
    }
#else
    if (QFileInfo::exists(para) || !QFile::copy(de, para))
        throw EErro(QStringLiteral("Não foi possível copiar %1 para %2").arg(de, para));
    QFile::setPermissions(para, QFileDevice::ReadOwner | QFileDevice::WriteOwner);
#endif
}

std::function<qint64(const QString&)>& MedidorDeEspaco() {
    static std::function<qint64(const QString&)> medidor;
    return medidor;
}

qint64 EspacoLivre(const QString& pasta) {
    if (MedidorDeEspaco())
        return MedidorDeEspaco()(pasta);
    const QStorageInfo disco(pasta);
    return disco.isValid() ? disco.bytesAvailable() : -1;
}

bool MesmoSistemaDeArquivos([[maybe_unused]] const QString& a, [[maybe_unused]] const QString& b) {
#ifdef Q_OS_UNIX
    struct stat x {};
    struct stat y {};
    return ::stat(QFile::encodeName(a).constData(), &x) == 0 &&
           ::stat(QFile::encodeName(b).constData(), &y) == 0 && x.st_dev == y.st_dev;
#else
    return false;
#endif
}

void SincronizarNoDisco([[maybe_unused]] const QString& caminho) {
#ifdef Q_OS_UNIX
    TDescritor d;
    d.fd = ::open(QFile::encodeName(caminho).constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (d.fd < 0 || ::fsync(d.fd) != 0)
        throw EErro(
            QStringLiteral("Não foi possível gravar no disco %1").arg(TextoDoErro(errno, caminho)));
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
    const int fd = ::open(nome.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0)
        throw EErro(QStringLiteral("Não foi possível criar o arquivo %1: %2")
                        .arg(arquivo, QString::fromLocal8Bit(std::strerror(errno))));
    // Another user's file under the lock's name would let that user block every run.
    struct stat st {};
    if (::fstat(fd, &st) != 0 || st.st_uid != ::geteuid()) {
        ::close(fd);
        throw EErro(QStringLiteral("O arquivo de trava %1 pertence ao usuário %2, não a quem "
                                   "executa o Marvek. Remova esse arquivo e tente de novo; nada "
                                   "foi alterado.")
                        .arg(arquivo, nomeDoUsuario(st.st_uid)));
    }
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

bool TTravaArquivo::TravarPasta(const QString& pasta) {
    Liberar();
#ifdef Q_OS_UNIX
    const int fd = ::open(QFile::encodeName(pasta).constData(),
                          O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0)
        throw EErro(
            QStringLiteral("Não foi possível abrir a pasta %1").arg(TextoDoErro(errno, pasta)));
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    m_fd = fd;
#endif
    m_arquivo = pasta;
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

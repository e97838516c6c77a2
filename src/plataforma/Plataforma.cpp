#include "plataforma/Plataforma.h"

#include <QFileInfo>
#include <QProcess>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#include <sys/syscall.h>
#endif

#ifdef Q_OS_UNIX
#include <QFile>
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

} // namespace marvek

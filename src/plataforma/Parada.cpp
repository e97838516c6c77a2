#include "plataforma/Parada.h"

#include <atomic>
#include <cerrno>
#include <thread>

#ifdef Q_OS_UNIX
#include <csignal>
#include <fcntl.h>
#include <unistd.h>
#endif

namespace marvek {

namespace {
std::atomic<int> g_parada{0};
#ifdef Q_OS_UNIX
int g_aviso[2] = {-1, -1}; // the handler writes one byte; the watcher thread reads it

extern "C" void aoReceberSinal(int sinal) {
    const int erroAntes = errno;
    int esperado = 0;
    if (!g_parada.compare_exchange_strong(esperado, sinal)) {
        // A second signal: the user insists, the process ends now.
        ::signal(sinal, SIG_DFL);
        ::raise(sinal);
        return;
    }
    if (g_aviso[1] >= 0) {
        const char byte = 1;
        [[maybe_unused]] const ssize_t n = ::write(g_aviso[1], &byte, 1);
    }
    errno = erroAntes;
}
#endif
} // namespace

int ParadaPedida() {
    return g_parada.load();
}

void PedirParada(int motivo) {
    int esperado = 0;
    g_parada.compare_exchange_strong(esperado, motivo);
}

void EsquecerParada() {
    g_parada.store(0);
}

QString TextoDaParada(int motivo) {
#ifdef Q_OS_UNIX
    if (motivo == SIGINT)
        return QStringLiteral("Interrompido pelo sinal SIGINT (Ctrl-C)");
    if (motivo == SIGTERM)
        return QStringLiteral("Interrompido pelo sinal SIGTERM");
#endif
    if (motivo == ParadaPelaJanela)
        return QStringLiteral("Interrompido: a janela foi fechada durante a operação");
    return QStringLiteral("Interrompido pelo sinal %1").arg(motivo);
}

EParada::EParada(int motivo)
    : EErro(TextoDaParada(motivo) +
            QStringLiteral("; o que esta execução fez foi desfeito ou guardado, como após uma "
                           "falha.")) {}

void VerificarParada() {
    if (const int m = ParadaPedida())
        throw EParada(m);
}

void InstalarParadaPorSinais([[maybe_unused]] std::function<void()> aoPedir) {
#ifdef Q_OS_UNIX
    int aviso[2] = {-1, -1};
    if (::pipe(aviso) == 0) {
        ::fcntl(aviso[0], F_SETFD, FD_CLOEXEC);
        ::fcntl(aviso[1], F_SETFD, FD_CLOEXEC);
        g_aviso[0] = aviso[0];
        g_aviso[1] = aviso[1];
        std::thread([aoPedir = std::move(aoPedir)] {
            char byte = 0;
            while (::read(g_aviso[0], &byte, 1) < 0 && errno == EINTR) {
            }
            if (aoPedir)
                aoPedir();
        }).detach();
    }
    // Without the watcher a signal still stops the run, at its next check.
    struct sigaction acao {};
    acao.sa_handler = aoReceberSinal;
    sigemptyset(&acao.sa_mask);
    ::sigaction(SIGINT, &acao, nullptr);
    ::sigaction(SIGTERM, &acao, nullptr);
#endif
}

} // namespace marvek

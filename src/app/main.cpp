#include "base/Traducoes.h"
#include "data/TDM.h"
#include "gui/TAplicacao.h"
#include "gui/TfrmPrincipal.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {
const char* const Ajuda =
    "Uso: marvek [ARQUIVO_Backup_Central.zip]\n"
    "     marvek --help | --version\n"
    "\n"
    "Abre a janela do Marvek: o backup do banco da central para uma filial e a\n"
    "restauração desse backup numa loja, num notebook ou num escritório adicional.\n"
    "Com um arquivo cujo nome contém Backup_Central.zip, restaura-o ao abrir.\n"
    "\n"
    "A janela precisa de uma tela (DISPLAY ou WAYLAND_DISPLAY). Sem ela, use\n"
    "marvek-cli, que faz as mesmas operações no terminal (man marvek-cli).\n";

bool pedido(int argc, char* argv[], const char* curto, const char* longo) {
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], curto) == 0 || std::strcmp(argv[i], longo) == 0)
            return true;
    return false;
}

// Without a display the window's platform would end the program with an abort and a core
// dump; it is said before, in a sentence.
bool semTela(int argc, char* argv[]) {
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (pedido(argc, argv, "-platform", "--platform"))
        return false; // the platform is chosen on the command line
    const char* plataforma = std::getenv("QT_QPA_PLATFORM");
    if (plataforma && *plataforma && std::strncmp(plataforma, "xcb", 3) != 0 &&
        std::strncmp(plataforma, "wayland", 7) != 0)
        return false; // offscreen, vnc, ...: no display needed
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (!x || !*x) && (!wayland || !*wayland);
#else
    Q_UNUSED(argc);
    Q_UNUSED(argv);
    return false;
#endif
}
} // namespace

int main(int argc, char* argv[]) {
    if (pedido(argc, argv, "-h", "--help")) {
        std::fputs(Ajuda, stdout);
        return 0;
    }
    if (pedido(argc, argv, "-V", "--version")) {
        std::fputs("marvek " MARVEK_VERSAO "\n", stdout);
        return 0;
    }
    if (semTela(argc, argv)) {
        std::fputs("marvek: não há tela para abrir a janela (DISPLAY e WAYLAND_DISPLAY "
                   "vazios).\nNo terminal, use marvek-cli (marvek-cli --help).\n",
                   stderr);
        return 1;
    }
    marvek::TAplicacao aplicacao(argc, argv);
    marvek::CarregarTraducoes();
    // The data module, its connection still closed.
    marvek::DM();
    // Creating the main window runs its start-up, which may already run a whole restore or
    // find that the program is to end.
    marvek::TfrmPrincipal janela(aplicacao.arguments().mid(1));
    if (janela.Encerrado())
        return 0;
    janela.CriarJanelas();
    QObject::connect(&janela, &marvek::TfrmPrincipal::ProgramaEncerrado, &aplicacao,
                     &QCoreApplication::quit, Qt::QueuedConnection);
    janela.show();
    return aplicacao.exec();
}

#include "base/Traducoes.h"
#include "data/TDM.h"
#include "gui/TAplicacao.h"
#include "gui/TfrmPrincipal.h"

int main(int argc, char* argv[]) {
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

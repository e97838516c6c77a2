#include "gui/TAplicacao.h"

#include "base/EErro.h"
#include "gui/Dialogos.h"

#include <exception>

namespace marvek {

TAplicacao::TAplicacao(int& argc, char** argv) : QApplication(argc, argv) {
    setApplicationDisplayName(QStringLiteral("Marvek"));
}

bool TAplicacao::notify(QObject* receptor, QEvent* evento) {
    try {
        return QApplication::notify(receptor, evento);
    } catch (...) {
        MostrarErroGeral();
    }
    return false;
}

void MostrarErroGeral() {
    try {
        try {
            throw;
        } catch (const EAbortar&) {
            // its message has been shown already
        } catch (const EErro& e) {
            ErroPadrao(e.Mensagem());
        } catch (const std::exception& e) {
            ErroPadrao(QString::fromUtf8(e.what()));
        } catch (...) {
            ErroPadrao(QStringLiteral("Erro desconhecido"));
        }
    } catch (...) {
        // the display itself failed; there is nobody left to tell
    }
}

} // namespace marvek

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

QString MensagemDoErroAtual() {
    try {
        throw;
    } catch (const EAbortar&) {
        return {};
    } catch (const EErro& e) {
        return e.Mensagem();
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Erro desconhecido");
    }
}

void MostrarErroGeral() {
    try {
        bool silencioso = false;
        try {
            throw;
        } catch (const EAbortar&) {
            silencioso = true; // its message has been shown already
        } catch (...) {
        }
        if (!silencioso)
            ErroPadrao(MensagemDoErroAtual());
    } catch (...) {
        // the display itself failed; there is nobody left to tell
    }
}

} // namespace marvek

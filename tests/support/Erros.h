#pragma once

#include "base/EErro.h"

#include <QString>
#include <functional>

namespace teste {

// The message of the EErro the call raises, or "" when it raises none.
inline QString ErroDe(const std::function<void()>& chamada) {
    try {
        chamada();
    } catch (const marvek::EErro& e) {
        return e.Mensagem();
    }
    return QString();
}

} // namespace teste

#pragma once

#include <QString>

namespace marvek {

// A text with "\r\n" and lone "\r" line breaks turned into "\n", as screens and consoles show
// them. The texts of the message boxes carry the former.
inline QString QuebrasDeLinha(QString texto) {
    texto.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    texto.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return texto;
}

} // namespace marvek

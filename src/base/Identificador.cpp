#include "base/Identificador.h"

#include <QSet>

namespace marvek {

namespace {
bool ehAsciiSimples(QChar c, const char* extras) {
    const ushort u = c.unicode();
    if ((u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9'))
        return true;
    for (const char* e = extras; *e; ++e)
        if (u == static_cast<uchar>(*e))
            return true;
    return false;
}

bool ehDigito(QChar c) {
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// A name that starts with a digit is read as a number when it is all digits, or looks like an
// exponent (1e5), a hexadecimal (0x1f) or a binary (0b10) literal.
bool pareceNumero(const QString& nome) {
    if (!ehDigito(nome.at(0)))
        return false;
    if (nome.size() > 1 && nome.at(0) == QLatin1Char('0') &&
        QStringLiteral("xXbB").contains(nome.at(1)))
        return true;
    for (QChar c : nome)
        if (!ehDigito(c))
            return c == QLatin1Char('e') || c == QLatin1Char('E');
    return true;
}
} // namespace

bool EhIdentificadorSimples(const QString& nome) {
    if (nome.isEmpty() || nome.size() > 64)
        return false;
    for (QChar c : nome)
        if (!ehAsciiSimples(c, "_$"))
            return false;
    return true;
}

bool EhPalavraReservada(const QString& nome) {
    static const QSet<QString> palavras = {
#include "base/PalavrasReservadas.inc"
    };
    return palavras.contains(nome.toUpper());
}

QString CitarIdentificador(const QString& nome) {
    QString s = nome;
    s.replace(QLatin1Char('`'), QLatin1String("``"));
    return QLatin1Char('`') + s + QLatin1Char('`');
}

QString NomeNoComando(const QString& nome) {
    // "_latin1" and the like read as a character set introducer.
    if (EhIdentificadorSimples(nome) && !EhPalavraReservada(nome) && !pareceNumero(nome) &&
        !nome.startsWith(QLatin1Char('_')))
        return nome;
    return CitarIdentificador(nome);
}

QString CitarTexto(const QString& texto) {
    bool simples = true;
    for (QChar c : texto)
        simples = simples && ehAsciiSimples(c, "_$.-: ,/");
    if (simples)
        return QLatin1Char('\'') + texto + QLatin1Char('\'');
    return QStringLiteral("CONVERT(X'%1' USING utf8mb4)")
        .arg(QString::fromLatin1(texto.toUtf8().toHex()));
}

} // namespace marvek

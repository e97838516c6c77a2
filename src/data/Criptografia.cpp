#include "data/Criptografia.h"

#include "base/EErro.h"

#include <QRandomGenerator>

namespace marvek {

namespace {
int valorHex(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    return -1;
}

// The two characters at a 0-based position (fewer when the text ends) read as one
// hexadecimal number, as the runtime's integer conversion of "$" + those characters does.
int lerPar(const QByteArray& texto, qsizetype pos) {
    const QByteArray par = texto.mid(pos, 2);
    int valor = 0;
    bool ok = !par.isEmpty();
    for (char c : par) {
        const int v = valorHex(c);
        if (v < 0) {
            ok = false;
            break;
        }
        valor = valor * 16 + v;
    }
    if (!ok)
        throw EErro(
            QStringLiteral("'$%1' is not a valid integer value").arg(QString::fromLatin1(par)));
    return valor;
}

QString cifrar(const QByteArray& texto, const QByteArray& chave) {
    const int semente = static_cast<int>(QRandomGenerator::global()->bounded(256));
    QByteArray saida = QByteArray::number(semente, 16).toUpper().rightJustified(2, '0');
    int anterior = semente;
    qsizetype k = 0;
    for (char ch : texto) {
        const int p = static_cast<unsigned char>(ch);
        const int x = (p + anterior) % 255;
        const int c = x ^ static_cast<unsigned char>(chave.at(k));
        k = (k + 1) % chave.size();
        saida += QByteArray::number(c, 16).toUpper().rightJustified(2, '0');
        anterior = c;
    }
    return QString::fromLatin1(saida);
}

QString decifrar(const QByteArray& texto, const QByteArray& chave) {
    int anterior = lerPar(texto, 0);
    qsizetype pos = 2; // 0-based; the third character
    qsizetype k = 0;
    QByteArray saida;
    do {
        const int c = lerPar(texto, pos);
        const int t = c ^ static_cast<unsigned char>(chave.at(k));
        k = (k + 1) % chave.size();
        const int codigo = t > anterior ? t - anterior : t - anterior + 255;
        saida += static_cast<char>(codigo);
        anterior = c;
        pos += 2;
    } while (texto.size() > pos + 1); // the 1-based position must lie inside the text
    return QString::fromLatin1(saida);
}
} // namespace

QString Criptografar(const QString& modo, const QString& texto, const QString& chave) {
    if (chave.isEmpty())
        throw EErro(QStringLiteral("Chave de criptografia vazia"));
    const QByteArray t = texto.toLatin1();
    const QByteArray k = chave.toLatin1();
    if (modo == QLatin1String("E"))
        return cifrar(t, k);
    if (modo == QLatin1String("D"))
        return decifrar(t, k);
    return QString();
}

QString Descriptografar(const QString& texto, const QString& chave) {
    bool branco = true;
    for (QChar c : texto) {
        if (c.unicode() > 32) {
            branco = false;
            break;
        }
    }
    if (branco)
        return QString();
    return Criptografar(QStringLiteral("D"), texto, chave);
}

} // namespace marvek

#include "base/NomesDeArquivo.h"

#include <QHash>

namespace marvek {

namespace {
struct TFaixa {
    ushort inicio;
    ushort fim;
    const char* codigos; // two characters per character of the range, ".." for none
};

const TFaixa Faixas[] = {
#include "base/TabelaNomesDeArquivo.inc"
};

bool ehSimples(ushort u) {
    return (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || (u >= '0' && u <= '9') || u == '_';
}

// The two-character code of a character, or an empty text when it has none.
QString codigo(ushort u) {
    for (const TFaixa& f : Faixas)
        if (u >= f.inicio && u <= f.fim) {
            const char* c = f.codigos + 2 * (u - f.inicio);
            if (c[0] == '.')
                return QString();
            return QString::fromLatin1(c, 2);
        }
    return QString();
}

const QHash<QString, ushort>& caracterDoCodigo() {
    static const QHash<QString, ushort> mapa = [] {
        QHash<QString, ushort> m;
        for (const TFaixa& f : Faixas)
            for (uint u = f.inicio; u <= f.fim; ++u) {
                const char* c = f.codigos + 2 * (u - f.inicio);
                if (c[0] != '.')
                    m.insert(QString::fromLatin1(c, 2), static_cast<ushort>(u));
            }
        return m;
    }();
    return mapa;
}

int valorHex(QChar c) {
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    return -1;
}
} // namespace

std::optional<QString> ArquivoDaTabela(const QString& tabela) {
    if (tabela.isEmpty() || tabela.size() > 64 || tabela.startsWith(QLatin1String("#mysql50#")))
        return std::nullopt;
    QString arquivo;
    for (QChar c : tabela) {
        const ushort u = c.unicode();
        if (u == 0 || c.isSurrogate())
            return std::nullopt;
        if (ehSimples(u)) {
            arquivo += c;
            continue;
        }
        const QString cod = codigo(u);
        arquivo += QLatin1Char('@') +
                   (cod.isEmpty() ? QStringLiteral("%1").arg(u, 4, 16, QLatin1Char('0')) : cod);
    }
    return arquivo;
}

std::optional<QString> TabelaDoArquivo(const QString& arquivo) {
    QString tabela;
    for (qsizetype i = 0; i < arquivo.size();) {
        const QChar c = arquivo.at(i);
        if (ehSimples(c.unicode())) {
            tabela += c;
            ++i;
            continue;
        }
        if (c != QLatin1Char('@'))
            return std::nullopt;
        const QString dois = arquivo.mid(i + 1, 2);
        if (const auto it = caracterDoCodigo().find(dois);
            dois.size() == 2 && it != caracterDoCodigo().end()) {
            tabela += QChar(it.value());
            i += 3;
            continue;
        }
        if (i + 5 > arquivo.size())
            return std::nullopt;
        uint u = 0;
        for (qsizetype k = i + 1; k < i + 5; ++k) {
            const int v = valorHex(arquivo.at(k));
            if (v < 0)
                return std::nullopt;
            u = u * 16 + static_cast<uint>(v);
        }
        tabela += QChar(static_cast<ushort>(u));
        i += 5;
    }
    // Only the one way the server writes a name is taken back (no code for a plain letter).
    const std::optional<QString> volta = ArquivoDaTabela(tabela);
    if (!volta || *volta != arquivo)
        return std::nullopt;
    return tabela;
}

} // namespace marvek

#include "data/PreValidacao.h"

#include "data/TDM.h"

namespace marvek {

namespace {

// The number checks compare the value with the default 0 as numbers.
bool igualAZero(const QVariant& valor) {
    bool ok = false;
    const double numero = valor.toDouble(&ok);
    return ok && numero == 0;
}

// The branch's row is missing (its filial_id read as 0), and its escritorio (or padrao when
// there is no row or it is NULL).
bool semFilial(TDM& dm, const QString& id) {
    return igualAZero(dm.ConsultarValor(
        QStringLiteral("select filial_id from filial where filial_id = ") + id, 0));
}

QString escritorio(TDM& dm, const QString& id, const QString& padrao) {
    return dm.ConsultarValor(ComandoDoEscritorio(id), padrao).toString();
}

} // namespace

QString ComandoDoEscritorio(const QString& filial) {
    return QStringLiteral("select escritorio from filial where filial_id = ") + filial;
}

QString ProblemasDaInstalacao(TDM& dm, TTipoInstalacao tipo, const QString& codigo) {
    const QString numero = QString::number(codigo.toInt()); // only the number reaches SQL
    QString problemas;
    if (tipo != TTipoInstalacao::Central) {
        if (codigo == QLatin1String("1"))
            problemas += QStringLiteral(" - O filial_id não deve ser 1.\r\n");
        if (semFilial(dm, numero))
            problemas += QStringLiteral(" - A filial_id ") + codigo +
                         QStringLiteral(" não existe no banco.\r\n");
        const bool loja = tipo == TTipoInstalacao::Loja;
        const QString padrao = loja ? QStringLiteral("S") : QStringLiteral("N");
        if (escritorio(dm, numero, padrao) == padrao)
            problemas += loja ? QStringLiteral(" - A filial deve estar configurada como "
                                               "escritório = N")
                              : QStringLiteral(" - A filial deve estar configurada como "
                                               "escritório = S");
        return problemas;
    }
    if (codigo != QLatin1String("1"))
        problemas += QStringLiteral(" - O filial_id deve ser 1.\r\n");
    if (semFilial(dm, QStringLiteral("1")))
        problemas += QStringLiteral(" - A filial_id 1 não existe no banco.\r\n");
    if (escritorio(dm, QStringLiteral("1"), QStringLiteral("N")) == QLatin1String("N"))
        problemas += QStringLiteral(" - A filial deve estar configurada como escritório = S ");
    return problemas;
}

} // namespace marvek

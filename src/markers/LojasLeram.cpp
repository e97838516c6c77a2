#include "markers/LojasLeram.h"

#include "base/EErro.h"
#include "data/TDM.h"

namespace marvek {

QString CodigoLojasLeram(int n) {
    static const char simbolos[] = "@#$&+-!()={}[]<>;:";
    if (n == 1)
        return QStringLiteral("*");
    if (n < 10)
        return QString(QChar(static_cast<ushort>(static_cast<unsigned char>((48 + n) % 256))));
    if (n <= 35)
        return QString(QChar(static_cast<ushort>(55 + n)));
    if (n <= 53)
        return QString(QLatin1Char(simbolos[n - 36]));
    throw EErro(QStringLiteral("O filial_id %1 não pode ser convertido para um \"lojas_leram\" "
                               "válido")
                    .arg(n));
}

QString ListaLojasLeram(TDM& dm) {
    return ListaLojasLeram(dm, QStringLiteral("filial"));
}

QString ListaLojasLeram(TDM& dm, const QString& tabelaFilial) {
    auto consulta = dm.AbrirConsulta(QStringLiteral("select filial_id from ") + tabelaFilial +
                                     QStringLiteral(" where apagado <> \"S\""));
    QString lista;
    for (; !consulta->Eof(); consulta->Proximo()) {
        bool ok = false;
        const int id = consulta->Campo(0).toString().toInt(&ok);
        if (!ok)
            throw EErro(QStringLiteral("'%1' is not a valid integer value")
                            .arg(consulta->Campo(0).toString()));
        lista += CodigoLojasLeram(id);
    }
    bool branco = true;
    for (QChar c : lista)
        if (c.unicode() > 32)
            branco = false;
    return branco ? QStringLiteral("*") : QStringLiteral("*") + lista;
}

} // namespace marvek

#include "zip/DescricaoArquivo.h"

#include "zip/MotorZip.h"

#include <QStringList>

namespace marvek {

namespace {
const QString Cabecalho = QStringLiteral("Marvek Backup_Central");

// A value stays on its own line whatever a branch's name holds.
QString umaLinha(QString texto) {
    for (QChar& c : texto)
        if (c.category() == QChar::Other_Control || c == QChar::LineSeparator ||
            c == QChar::ParagraphSeparator)
            c = QLatin1Char(' ');
    return texto.left(200);
}
} // namespace

QString TextoDaDescricao(const TDescricaoArquivo& d) {
    QStringList linhas{Cabecalho};
    linhas << QStringLiteral("filial=%1").arg(d.filial);
    linhas << QStringLiteral("nome_filial=") + umaLinha(d.nomeFilial);
    linhas << QStringLiteral("banco=") + umaLinha(d.banco);
    linhas << QStringLiteral("data=") + d.data.toString(Qt::ISODate);
    linhas << QStringLiteral("versao=") + umaLinha(d.versao);
    return linhas.join(QLatin1Char('\n')) + QLatin1Char('\n');
}

std::optional<TDescricaoArquivo> LerDescricao(const QString& comentario) {
    const QStringList linhas = comentario.left(4096).split(QLatin1Char('\n'));
    if (linhas.value(0).trimmed() != Cabecalho)
        return std::nullopt;
    TDescricaoArquivo d;
    bool temFilial = false;
    for (qsizetype i = 1; i < linhas.size(); ++i) {
        const QString linha =
            linhas[i].endsWith(QLatin1Char('\r')) ? linhas[i].chopped(1) : linhas[i];
        const qsizetype igual = linha.indexOf(QLatin1Char('='));
        if (igual < 0)
            continue;
        const QString chave = linha.left(igual);
        // The archive may come from anywhere: what it says reaches messages, the terminal and
        // the history as one plain line.
        const QString valor = umaLinha(linha.mid(igual + 1));
        if (chave == QLatin1String("filial"))
            d.filial = valor.toInt(&temFilial, 10);
        else if (chave == QLatin1String("nome_filial"))
            d.nomeFilial = valor;
        else if (chave == QLatin1String("banco"))
            d.banco = valor;
        else if (chave == QLatin1String("data"))
            d.data = QDateTime::fromString(valor, Qt::ISODate);
        else if (chave == QLatin1String("versao"))
            d.versao = valor;
    }
    if (!temFilial)
        return std::nullopt;
    return d;
}

std::optional<TDescricaoArquivo> DescricaoDoArquivo(const QString& arquivoZip) {
    return LerDescricao(ComentarioDoArquivo(arquivoZip));
}

QString ResumoDaDescricao(const TDescricaoArquivo& d) {
    QString texto = QStringLiteral("filial %1").arg(d.filial);
    if (!d.nomeFilial.isEmpty())
        texto += QStringLiteral(" (%1)").arg(d.nomeFilial);
    if (!d.banco.isEmpty())
        texto += QStringLiteral(", banco ") + d.banco;
    if (d.data.isValid())
        texto += QStringLiteral(", ") + d.data.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    if (!d.versao.isEmpty())
        texto += QStringLiteral(", Marvek ") + d.versao;
    return texto;
}

} // namespace marvek

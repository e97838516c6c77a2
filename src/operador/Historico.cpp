#include "operador/Historico.h"

#include "base/Texto.h"
#include "plataforma/Plataforma.h"

#include <QFile>
#include <QFileInfo>

namespace marvek {

namespace {
QString desfecho(const TResultado& r) {
    switch (r.desfecho) {
    case TResultado::Recusada:
        return QStringLiteral("recusada: ") + r.erros.value(0);
    case TResultado::Falhou:
        return QStringLiteral("falhou: ") + r.erros.value(0);
    case TResultado::Interrompida:
        return QStringLiteral("interrompida: ") + r.erros.value(0);
    case TResultado::Concluida:
        break;
    }
    return r.erros.isEmpty() ? QStringLiteral("concluída")
                             : QStringLiteral("concluída com erros: ") + r.erros.first();
}

// One line of the history: the box texts' line breaks become spaces.
QByteArray linha(const QString& texto) {
    return QuebrasDeLinha(texto).replace(QLatin1Char('\n'), QLatin1Char(' ')).toUtf8() + '\n';
}

// The run's figures after its outcome, each one only when the run got that far.
QString figuras(const TResultado& r) {
    QStringList partes;
    if (!r.filial.isEmpty())
        partes << QStringLiteral("filial ") + r.filial;
    if (!r.banco.isEmpty())
        partes << QStringLiteral("banco ") + r.banco;
    if (!r.bancoReserva.isEmpty())
        partes << QStringLiteral("reserva ") + r.bancoReserva;
    if (r.tabelas >= 0)
        partes << QStringLiteral("%1 tabelas").arg(r.tabelas);
    if (r.tamanhoArquivo >= 0)
        partes << QStringLiteral("%1 bytes").arg(r.tamanhoArquivo);
    partes << QStringLiteral("%1 s").arg(static_cast<double>(r.duracaoMs) / 1000.0, 0, 'f', 1);
    partes << QStringLiteral("saída %1").arg(CodigoDeSaida(r));
    return partes.join(QStringLiteral(" | "));
}
// A history in Latin-1 with CR LF line ends is turned over whole rather than mixed with UTF-8
// lines.
bool emLatin1ComCrLf(const QString& arquivo) {
    QFile f(arquivo);
    return f.open(QIODevice::ReadOnly) && f.readLine(4096).endsWith("\r\n");
}
} // namespace

QString ArquivoDoHistorico(const QString& arquivoLog) {
    const QFileInfo log(arquivoLog);
    return log.path() + QLatin1Char('/') + log.completeBaseName() +
           QStringLiteral("_historico.txt");
}

void RegistrarNoHistorico(const QString& arquivoLog, const QString& operacao, const QString& alvo,
                          const TResultado& resultado, const QStringList& linhas,
                          const QDateTime& quando) {
    const QString arquivo = ArquivoDoHistorico(arquivoLog);
    QByteArray dados = linha(QStringLiteral("==== %1 %2 %3: %4 | %5")
                                 .arg(quando.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")),
                                      operacao, alvo, desfecho(resultado), figuras(resultado)));
    for (const QString& l : linhas)
        dados += "  " + linha(l);

    const QFileInfo atual(arquivo);
    if (atual.exists() &&
        (atual.size() + dados.size() > TamanhoMaximoHistorico || emLatin1ComCrLf(arquivo))) {
        const QString antigo =
            atual.path() + QLatin1Char('/') + atual.completeBaseName() + QStringLiteral(".1.txt");
        QFile::remove(antigo);
        if (!QFile::rename(arquivo, antigo))
            throw EErro(QStringLiteral("Não foi possível renomear o histórico %1 para %2")
                            .arg(arquivo, antigo));
    }
    QFile f(arquivo);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Append) || f.write(dados) != dados.size() ||
        !f.flush())
        throw EErro(QStringLiteral("Não foi possível gravar o histórico %1: %2")
                        .arg(arquivo, f.errorString()));
    f.close();
    // The end of a run: its log and its history line are put on the disk.
    SincronizarNoDisco(arquivo);
    if (QFileInfo::exists(arquivoLog))
        SincronizarNoDisco(arquivoLog);
}

} // namespace marvek

#pragma once

#include "operador/TOperador.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace marvek {

// The history of runs, LOG_MARVEK_historico.txt beside LOG_MARVEK.txt: LOG_MARVEK.txt holds the
// current run only, the history keeps every run. Each operation appends one line (date and
// time, the operation, the archive or the destination, how it ended, then its branch,
// database, aside database, tables, archive size, duration and exit code, as far as the run
// got) followed by its log lines indented by two blanks, so that the lines without indent are
// one per run. UTF-8 with LF line ends. Once the file passes TamanhoMaximoHistorico
// it becomes LOG_MARVEK_historico.1.txt (replacing the older one) and a new one starts.
constexpr qint64 TamanhoMaximoHistorico = 2 * 1024 * 1024;

// The history file next to the log file arquivoLog.
QString ArquivoDoHistorico(const QString& arquivoLog);

// Appends the run. Raises EErro naming the file when it cannot be written.
void RegistrarNoHistorico(const QString& arquivoLog, const QString& operacao, const QString& alvo,
                          const TResultado& resultado, const QStringList& linhas,
                          const QDateTime& quando = QDateTime::currentDateTime());

} // namespace marvek

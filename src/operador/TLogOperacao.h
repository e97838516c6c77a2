#pragma once

#include <QString>
#include <QStringList>
#include <QTime>

namespace marvek {

// The operation log: every line of the run, oldest first, rewritten whole to LOG_MARVEK.txt
// after every line. "hh:mm:ss -> " + text, Latin-1, CR LF after every line.
class TLogOperacao {
public:
    // arquivo: the log file's full path (by default LOG_MARVEK.txt in the program folder).
    explicit TLogOperacao(QString arquivo = QString());

    // Appends the line and rewrites the file. A write failure raises EErro naming the file;
    // the line stays in the list and is written with the others at the next call.
    void GravarLog(const QString& texto);
    // The same with a given time (for tests).
    void GravarLog(const QString& texto, const QTime& hora);

    const QStringList& Linhas() const { return m_linhas; }
    QString Arquivo() const;

private:
    void escrever();
    QString m_arquivo;
    QStringList m_linhas;
};

} // namespace marvek

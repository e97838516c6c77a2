#pragma once

#include <QString>
#include <QStringList>
#include <QTime>

namespace marvek {

// The operation log: every line of the run, oldest first, in LOG_MARVEK.txt: the file is begun
// anew by the first line and grows by appending each later one (linear in the lines, whatever
// their number). "hh:mm:ss -> " + text, Latin-1, CR LF after every line.
class TLogOperacao {
public:
    // arquivo: the log file's full path (by default LOG_MARVEK.txt in the program folder).
    explicit TLogOperacao(QString arquivo = QString());

    // Appends the line to the list and to the file. A write failure raises EErro naming the
    // file; the line stays in the list and is written with the others at the next call.
    void GravarLog(const QString& texto);
    // The same with a given time (for tests).
    void GravarLog(const QString& texto, const QTime& hora);

    const QStringList& Linhas() const { return m_linhas; }
    QString Arquivo() const;
    // Puts what was written on the disk: called at the end of each step of a run.
    void Sincronizar();

private:
    void escrever();
    QString m_arquivo;
    QStringList m_linhas;
    qsizetype m_gravadas = 0; // lines already in the file
    bool m_iniciado = false;  // the file was begun anew
};

} // namespace marvek

#pragma once

#include <QString>
#include <QStringList>

namespace marvek {

// The program folder: where sistema_qel.ini, LOG_MARVEK.txt, query.txt and Navirel.exe live.
// By default the folder of the running executable; a front end may name another one.
// Always returned with a trailing "/".
QString PastaDoPrograma();
void DefinirPastaDoPrograma(const QString& pasta);

// The folder with a trailing "/" (added when missing).
QString ComBarra(QString pasta);

// Empties a folder the program made: every file in it goes, but its mark (a link goes as a
// link, never its target). Returns the names that could not be removed, in name order.
QStringList EsvaziarPasta(const QString& pasta);

// Program folder + file name.
QString ArquivoDoPrograma(const QString& nome);

// Where sistema_qel.ini is read, and where LOG_MARVEK.txt, its history and query.txt are
// written: the program folder, unless the build was made for the system's folders (a Debian
// package: /etc/marvek and /var/lib/marvek) and no program folder was named. With a trailing
// "/".
QString PastaDeConfiguracao();
QString PastaDeDados();

// A work folder the program makes for itself (Temp_Backup, the extraction folder) carries this
// small file; only a folder that carries it is ever emptied, and emptying leaves it in place.
extern const QString MarcaPastaPropria;

// Checks a work folder before anything changes: false when nothing stands at the path, true
// when it is a folder the program made or an empty folder (taken over when it is created).
// Raises EErro naming the path when the path is a symbolic link, something other than a
// folder, or a folder of someone else's with something in it.
bool VerificarPastaPropria(const QString& pasta);

// Creates the work folder (missing parents too) with its mark, or checks the one that is there.
void CriarPastaPropria(const QString& pasta);

// What a stopped run of the program left in a folder: the entries whose name begins with
// prefixo and ends with sufixo (a name only the program gives; case counts), that belong to the
// user running it and are not in use by another run (a folder is in use while a run holds its
// lock). Removes them, a folder with what it holds and never through a link, and returns the paths
// removed.
QStringList RemoverSobras(const QString& pasta, const QString& prefixo,
                          const QString& sufixo = QString());
// The log line for each leftover removed, before its path or name.
inline const QString SobraRemovida =
    QStringLiteral("Removido o que uma execução interrompida deixou: ");

} // namespace marvek

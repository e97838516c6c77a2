#pragma once

#include <QString>
#include <QStringList>
#include <functional>

namespace marvek {

class TDM;
class TOperador;

// What the work of one table may say while it runs: log lines and progress steps. They reach
// the operator in listing order, exactly as one connection working table after table would
// give them; a line of the earliest unfinished table is in the log before the work goes on.
class TRegistroTabela {
public:
    virtual ~TRegistroTabela() = default;
    virtual void GravarLog(const QString& texto) = 0;
    virtual void AvancarProgresso() = 0;
};

// The work of one table, on the connection it is given.
using TTrabalhoTabela = std::function<void(TDM& dm, const QString& tabela, TRegistroTabela& r)>;

// Runs the work for every table. With one connection it runs on the calling thread and on dm,
// table after table, processing pending messages after each. With more, the tables are handed
// to that many workers, each on a connection of its own opened like dm's (on its current
// database), the largest first when pesos gives each table's size (so that the largest does not
// start last), while the calling thread passes the log and the progress on in listing order and
// processes pending messages at least every 50 ms. After a failure no further table starts,
// the running ones finish, every line of what ran is logged and the first failure in listing
// order is raised again.
void ExecutarPorTabela(TOperador& op, TDM& dm, const QStringList& tabelas, int conexoes,
                       const TTrabalhoTabela& trabalho, const QList<qint64>& pesos = {});

// The default number of connections: the machine's cores, at most four.
int ConexoesPadrao();

} // namespace marvek

#include "operador/TrabalhoPorTabela.h"

#include "base/EErro.h"
#include "data/TDM.h"
#include "operador/TOperador.h"
#include "plataforma/GrupoDeTrabalho.h"
#include "plataforma/Parada.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <optional>
#include <vector>

namespace marvek {

namespace {

// On the calling thread: straight to the operator.
class TRegistroDireto : public TRegistroTabela {
public:
    explicit TRegistroDireto(TOperador& op) : m_op(op) {}
    void GravarLog(const QString& texto) override { m_op.GravarLog(texto); }
    void AvancarProgresso() override { m_op.DefinirPosicaoProgresso(m_op.PosicaoProgresso() + 1); }

private:
    TOperador& m_op;
};

struct TItem {
    bool progresso = false;
    QString texto;
};

struct TTabela {
    QString nome;
    bool iniciada = false;
    bool concluida = false;
    std::vector<TItem> pendentes; // said, not yet passed to the operator
    qsizetype ditos = 0;          // items said so far
    qsizetype passados = 0;       // items passed to the operator
    std::exception_ptr erro;
};

// Shared by the workers and the calling thread, under one mutex. The calling thread alone
// talks to the operator, and never under the mutex.
struct TEstado {
    std::mutex mutex;
    std::condition_variable mudou;
    std::vector<TTabela> tabelas;
    std::vector<size_t> ordem; // the order the tables are handed out in
    size_t proxima = 0;        // next position in ordem
    size_t atual = 0;          // earliest table whose items are not all passed on
    bool parar = false;        // a table failed: no further table starts
    bool semLog = false;       // the operator failed to log: nobody waits for it any more
};

class TRegistroParalelo : public TRegistroTabela {
public:
    TRegistroParalelo(TEstado& e, size_t indice) : m_e(e), m_i(indice) {}
    void GravarLog(const QString& texto) override { dizer({false, texto}); }
    void AvancarProgresso() override { dizer({true, QString()}); }

private:
    void dizer(TItem item) {
        std::unique_lock<std::mutex> trava(m_e.mutex);
        TTabela& t = m_e.tabelas[m_i];
        t.pendentes.push_back(std::move(item));
        const qsizetype meu = ++t.ditos;
        m_e.mudou.notify_all();
        // The earliest unfinished table's lines are in the log before its statements run.
        m_e.mudou.wait(trava, [&] { return m_e.semLog || m_e.atual != m_i || t.passados >= meu; });
    }
    TEstado& m_e;
    size_t m_i;
};

void trabalhar(TEstado& e, TDM& modelo, const QString& banco, const TTrabalhoTabela& trabalho) {
    TDM dm;
    std::exception_ptr erroConexao;
    try {
        dm.AbrirConexao(modelo.Conexao.Servidor, banco, modelo.Conexao.Usuario,
                        modelo.Conexao.Senha, modelo.Conexao.Porta);
    } catch (...) {
        erroConexao = std::current_exception();
    }
    for (;;) {
        size_t i;
        {
            std::lock_guard<std::mutex> trava(e.mutex);
            if (e.parar || e.proxima >= e.ordem.size())
                return;
            i = e.ordem[e.proxima++];
            e.tabelas[i].iniciada = true;
        }
        std::exception_ptr erro = erroConexao;
        if (!erro) {
            try {
                TRegistroParalelo registro(e, i);
                trabalho(dm, e.tabelas[i].nome, registro);
            } catch (...) {
                erro = std::current_exception();
            }
        }
        std::lock_guard<std::mutex> trava(e.mutex);
        e.tabelas[i].concluida = true;
        if (erro) {
            e.tabelas[i].erro = erro;
            e.parar = true;
        }
        e.mudou.notify_all();
    }
}

// Takes, under the mutex, what may be passed on now: the items of the earliest unfinished table
// and of every later one whose earlier tables are all done. With tudo set, everything that ran.
std::vector<std::pair<size_t, TItem>> retirar(TEstado& e, bool tudo) {
    std::vector<std::pair<size_t, TItem>> itens;
    while (e.atual < e.tabelas.size()) {
        TTabela& t = e.tabelas[e.atual];
        for (TItem& item : t.pendentes)
            itens.emplace_back(e.atual, std::move(item));
        t.pendentes.clear();
        if (!t.concluida && !(tudo && !t.iniciada))
            break;
        ++e.atual;
    }
    return itens;
}

// With one connection: on the calling thread, table after table.
void executarEmSequencia(TOperador& op, TDM& dm, const QStringList& tabelas,
                         const TTrabalhoTabela& trabalho) {
    TRegistroDireto registro(op);
    for (const QString& tabela : tabelas) {
        VerificarParada(); // a stop hands out no further table
        trabalho(dm, tabela, registro);
        op.AvancarFase();
        op.ProcessarMensagens();
    }
}

// Passes on what the workers said, in listing order, until every table is done or, after a
// failure or a stop, every running table has ended.
void acompanhar(TOperador& op, TEstado& e) {
    for (bool fim = false; !fim;) {
        std::vector<std::pair<size_t, TItem>> itens;
        size_t concluidas = 0; // tables whose lines are now all passed on
        {
            std::unique_lock<std::mutex> trava(e.mutex);
            const size_t antes = e.atual;
            e.mudou.wait_for(trava, std::chrono::milliseconds(50), [&] {
                return e.atual < e.tabelas.size() &&
                       (!e.tabelas[e.atual].pendentes.empty() || e.tabelas[e.atual].concluida);
            });
            itens = retirar(e, false);
            concluidas = e.atual - antes;
            fim =
                e.atual >= e.tabelas.size() ||
                (e.parar && std::none_of(e.tabelas.begin(), e.tabelas.end(), [](const TTabela& t) {
                     return t.iniciada && !t.concluida;
                 }));
        }
        for (const auto& [i, item] : itens) {
            if (item.progresso)
                op.DefinirPosicaoProgresso(op.PosicaoProgresso() + 1);
            else
                op.GravarLog(item.texto);
            std::lock_guard<std::mutex> trava(e.mutex);
            ++e.tabelas[i].passados;
            e.mudou.notify_all();
        }
        for (size_t i = 0; i < concluidas; ++i)
            op.AvancarFase();
        op.ProcessarMensagens();
        VerificarParada(); // the workers take no further table; the running ones end
    }
}

} // namespace

int ConexoesPadrao() {
    return TGrupoDeTrabalho::Nucleos(4);
}

void ExecutarPorTabela(TOperador& op, TDM& dm, const QStringList& tabelas, int conexoes,
                       const TTrabalhoTabela& trabalho, const QList<qint64>& pesos) {
    if (conexoes <= 1 || tabelas.size() <= 1) {
        executarEmSequencia(op, dm, tabelas, trabalho);
        return;
    }

    const QString banco = dm.BancoAtual();
    TEstado e;
    e.tabelas.resize(static_cast<size_t>(tabelas.size()));
    for (qsizetype i = 0; i < tabelas.size(); ++i) {
        e.tabelas[static_cast<size_t>(i)].nome = tabelas.at(i);
        e.ordem.push_back(static_cast<size_t>(i));
    }
    if (pesos.size() == tabelas.size())
        std::stable_sort(e.ordem.begin(), e.ordem.end(), [&](size_t a, size_t b) {
            return pesos[static_cast<qsizetype>(a)] > pesos[static_cast<qsizetype>(b)];
        });
    const int n = std::min<int>(conexoes, static_cast<int>(tabelas.size()));
    // The workers wait on the server, not on the processor: they keep the normal priority.
    std::optional<TGrupoDeTrabalho> grupo(std::in_place, n, false);
    auto encerrar = [&] {
        {
            std::lock_guard<std::mutex> trava(e.mutex);
            e.parar = true;
            e.semLog = true;
        }
        e.mudou.notify_all();
        grupo.reset(); // joins every worker
    };
    try {
        for (int i = 0; i < n; ++i)
            grupo->Enviar([&] { trabalhar(e, dm, banco, trabalho); });
        acompanhar(op, e);
        {
            std::lock_guard<std::mutex> trava(e.mutex);
            e.parar = true;
        }
        grupo->Aguardar(); // every worker has returned; a failure outside a table's work is raised
        grupo.reset();
        // Every line of what ran, in listing order, also after a failure.
        for (const auto& [i, item] : retirar(e, true))
            if (!item.progresso)
                op.GravarLog(item.texto);
    } catch (...) {
        encerrar();
        throw;
    }
    for (const TTabela& t : e.tabelas)
        if (t.erro)
            std::rethrow_exception(t.erro);
}

} // namespace marvek

#pragma once

#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace marvek {

// Called regularly on the calling thread while it waits for work on other threads, so that a
// window can process its pending messages. May be empty.
using FuncaoProcessar = std::function<void()>;

// The program's one way to run work off the calling thread: a few worker threads that take the
// tasks handed to them in the order given.
// - The first exception a task raises, of any type, is kept and raised again by Aguardar; the
//   tasks not yet started are then dropped.
// - Every thread started is joined on every path: by the destructor, which drops the tasks not
//   yet started, and by a constructor that fails part-way.
// - Tasks run outside the group's lock; a task may hand in further tasks.
class TGrupoDeTrabalho {
public:
    // prioridadeBaixa: the workers give way to the calling thread (a window's) and to the
    // server's statements on the same cores.
    explicit TGrupoDeTrabalho(int threads, bool prioridadeBaixa = true);
    ~TGrupoDeTrabalho();
    TGrupoDeTrabalho(const TGrupoDeTrabalho&) = delete;
    TGrupoDeTrabalho& operator=(const TGrupoDeTrabalho&) = delete;

    void Enviar(std::function<void()> tarefa);

    // Waits until every task handed in has ended, calling processar at least every 50 ms
    // meanwhile, then raises the first failure of a task; the group can then take new tasks.
    // When processar raises, the tasks not yet started are dropped, the running ones are told
    // to stop (Falhou) and its exception is raised once they have ended.
    void Aguardar(const FuncaoProcessar& processar = {});

    // True once a task has failed: a long task may stop early.
    bool Falhou() const { return m_falhou; }

    // The machine's cores, between 1 and maximo.
    static int Nucleos(int maximo);

private:
    void trabalhar(bool prioridadeBaixa);
    void parar();

    std::mutex m_mutex;
    std::condition_variable m_mudou;
    std::deque<std::function<void()>> m_fila;
    int m_emCurso = 0;
    bool m_encerrar = false;
    std::atomic<bool> m_falhou{false};
    std::exception_ptr m_erro;
    std::vector<std::thread> m_threads;
};

} // namespace marvek

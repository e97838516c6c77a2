#include "plataforma/GrupoDeTrabalho.h"

#include "plataforma/Plataforma.h"

#include <algorithm>
#include <chrono>

namespace marvek {

TGrupoDeTrabalho::TGrupoDeTrabalho(int threads, bool prioridadeBaixa) {
    try {
        for (int i = 0; i < std::max(1, threads); ++i)
            m_threads.emplace_back([this, prioridadeBaixa] { trabalhar(prioridadeBaixa); });
    } catch (...) {
        parar();
        throw;
    }
}

TGrupoDeTrabalho::~TGrupoDeTrabalho() {
    parar();
}

void TGrupoDeTrabalho::parar() {
    {
        std::lock_guard<std::mutex> trava(m_mutex);
        m_encerrar = true;
        m_fila.clear();
    }
    m_mudou.notify_all();
    for (std::thread& t : m_threads)
        if (t.joinable())
            t.join();
}

int TGrupoDeTrabalho::Nucleos(int maximo) {
    return std::clamp(static_cast<int>(std::thread::hardware_concurrency()), 1, maximo);
}

void TGrupoDeTrabalho::Enviar(std::function<void()> tarefa) {
    {
        std::lock_guard<std::mutex> trava(m_mutex);
        if (m_encerrar || m_falhou)
            return;
        m_fila.push_back(std::move(tarefa));
    }
    // Workers and a waiter share the condition: each must hear of it.
    m_mudou.notify_all();
}

void TGrupoDeTrabalho::trabalhar(bool prioridadeBaixa) {
    if (prioridadeBaixa)
        BaixarPrioridadeDaThread();
    std::unique_lock<std::mutex> trava(m_mutex);
    for (;;) {
        m_mudou.wait(trava, [&] { return m_encerrar || !m_fila.empty(); });
        if (m_fila.empty())
            return; // told to end, nothing left to start
        std::function<void()> tarefa = std::move(m_fila.front());
        m_fila.pop_front();
        ++m_emCurso;
        trava.unlock();
        std::exception_ptr erro;
        try {
            tarefa();
        } catch (...) {
            erro = std::current_exception();
        }
        tarefa = nullptr; // whatever the task held goes before the waiter hears of its end
        trava.lock();
        if (erro) {
            if (!m_erro)
                m_erro = erro;
            m_falhou = true;
            m_fila.clear();
        }
        --m_emCurso;
        m_mudou.notify_all();
    }
}

void TGrupoDeTrabalho::Aguardar(const FuncaoProcessar& processar) {
    std::unique_lock<std::mutex> trava(m_mutex);
    const auto terminou = [&] { return m_fila.empty() && m_emCurso == 0; };
    while (!terminou()) {
        if (!processar) {
            m_mudou.wait(trava, terminou);
            break;
        }
        if (m_mudou.wait_for(trava, std::chrono::milliseconds(50), terminou))
            break;
        trava.unlock();
        try {
            processar();
        } catch (...) {
            // The tasks must not outlive the caller's frame: drop what has not started, wait
            // for the rest, then report.
            trava.lock();
            m_fila.clear();
            m_falhou = true; // long tasks stop early
            m_mudou.wait(trava, terminou);
            m_erro = nullptr;
            m_falhou = false;
            throw;
        }
        trava.lock();
    }
    if (m_erro) {
        std::exception_ptr erro = m_erro;
        m_erro = nullptr;
        m_falhou = false;
        std::rethrow_exception(erro);
    }
}

} // namespace marvek

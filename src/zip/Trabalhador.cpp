#include "zip/Trabalhador.h"

#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

namespace marvek {

void ExecutarEmSegundoPlano(const std::function<void()>& trabalho,
                            const FuncaoProcessar& processar) {
    if (!processar) {
        trabalho();
        return;
    }
    std::mutex mutex;
    std::condition_variable fim;
    bool terminou = false;
    std::exception_ptr erro;
    std::thread t([&] {
        try {
            trabalho();
        } catch (...) {
            erro = std::current_exception();
        }
        std::lock_guard<std::mutex> trava(mutex);
        terminou = true;
        fim.notify_all();
    });
    for (;;) {
        {
            std::unique_lock<std::mutex> trava(mutex);
            if (fim.wait_for(trava, std::chrono::milliseconds(50), [&] { return terminou; }))
                break;
        }
        try {
            processar();
        } catch (...) {
            // The work must not outlive this frame: wait for it, then report the first error.
            t.join();
            throw;
        }
    }
    t.join();
    if (erro)
        std::rethrow_exception(erro);
}

} // namespace marvek

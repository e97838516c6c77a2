#pragma once

#include "zip/MotorZip.h"

#include <functional>

namespace marvek {

// Runs the work on a worker thread while the calling thread calls processar at least every
// 50 ms until the work ends; an exception of the work is raised again on the calling thread.
// Without processar the work runs on the calling thread.
void ExecutarEmSegundoPlano(const std::function<void()>& trabalho,
                            const FuncaoProcessar& processar);

} // namespace marvek

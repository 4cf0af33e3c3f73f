// Runs a call that might block for ever (opening a FIFO for reading) in a
// child process, so that a test can fail on it instead of hanging.
#pragma once

#include <chrono>
#include <csignal>
#include <functional>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace kestrova::test {

// True when call returned true within seconds; a call still running then
// is killed and counts as false.
inline bool FinishesWithin(double seconds, const std::function<bool()>& call) {
    const pid_t child = ::fork();
    if (child < 0) return false;
    if (child == 0) ::_exit(call() ? 0 : 1);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    int status = 0;
    while (::waitpid(child, &status, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            ::kill(child, SIGKILL);
            ::waitpid(child, &status, 0);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace kestrova::test

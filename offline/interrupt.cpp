#include "offline/interrupt.h"

#include <csignal>

namespace {

volatile std::sig_atomic_t caught = 0;

void note(int signal) { caught = signal; }

void install(void (*handler)(int)) {
    struct sigaction action = {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    action.sa_flags = 0;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace

void catchInterrupts() {
    caught = 0;
    install(note);
}

void releaseInterrupts() { install(SIG_DFL); }

int interruptSignal() { return caught; }

// SIGINT and SIGTERM during an offline run. The handler only notes the signal; the run sees it
// between frames and in its waits on ffmpeg, removes what it wrote and exits with 128 + the
// signal's number.
#pragma once

// Installs the handlers, without SA_RESTART, so that a blocking write or wait returns EINTR.
void catchInterrupts();
// Restores the default actions.
void releaseInterrupts();
// The signal that came, 0 while none did.
int interruptSignal();

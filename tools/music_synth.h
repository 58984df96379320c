// The instruments of the show's music, synthesised: drums as one-shot samples, tonal parts as
// looped waveforms whose loops hold a whole number of cycles of every oscillator, so they loop
// without clicks. Deterministic: the same samples on every run.
#pragma once

#include "tools/module_writer.h"

namespace music {

// Pitch the tonal instruments sound at when played at C-4 (note 49): C-4 itself, 261.63 Hz,
// except where a factory says otherwise.
xm::Instrument kickDrum();
xm::Instrument closedHat();
xm::Instrument openHat();
xm::Instrument clap();  // clap layered on a snare body
xm::Instrument snare(); // short snare for fills
xm::Instrument crash(); // long crash cymbal
xm::Instrument riser(); // four-second noise sweep that leads into a downbeat
xm::Instrument bass();  // sounds at C-2 when played at C-2 (usual pitch)
xm::Instrument pad();   // three detuned saws, slow attack, released on key off
xm::Instrument lead();  // bright detuned pulse-saw mix with a short decay to sustain
xm::Instrument pluck(); // decaying bell-like pluck, no loop

} // namespace music

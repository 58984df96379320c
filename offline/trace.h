// Frame counting and the --trace lines: "scene N frame F time T" on every scene change and
// "sync V frame F time T" on every delivered sync (T: ms since the first frame).
#pragma once

void traceFrameStart();
void traceFrameEnd();
void traceSync(int userValue);
void resetTrace();

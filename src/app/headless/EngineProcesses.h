#pragma once

namespace lt {

// The engine's processes (zygotes, renderers, the GPU and utility
// processes) are children and grandchildren of the command. They must have
// ended before the command does: a script's next run on the same state
// folder, or an rm -rf of it, would race with an engine still writing the
// profile.

// Makes the command the parent of every process its children leave behind,
// so the grandchildren can be waited for too. Call before the engine starts.
void adoptEngineProcesses();

// Once the engine is shut down: ends every process it left and waits until
// all have ended; those still alive after graceMs are killed.
void endEngineProcesses(int graceMs);

} // namespace lt

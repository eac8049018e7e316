#pragma once

// The cores a frame is drawn on: a few threads made once for the whole process, one for each core
// beside the thread that draws, which take parts of a large drawing (bands of its rows) while that
// thread takes parts too. A part is drawn exactly as it would be alone, so the pixels do not
// depend on how many cores drew them.

#include <cstdint>
#include <functional>

namespace CAPixelWorkers {

// How many cores draw: the processor's (at most 8) unless setCores said otherwise.
int cores();
// Draws on `cores` cores from now on (1: on the drawing thread alone); 0 goes back to all of
// the processor's. For benchmarks and tests that compare one core with several.
void setCores(int cores);

// Makes the workers now, when they are not there yet, rather than at the first large drawing: a
// process that draws has its threads from the start, and does not seem to grow later.
void prepare();

// Runs part(0) to part(count - 1), each once, and returns when all have run: spread over the
// cores when together they draw `pixels` pixels or more, enough for that to pay, and else one
// after another on the calling thread, as they also run from inside a part, from a second thread
// while the workers are busy, or with one core. Parts must not share anything they write.
void forEach(int count, int64_t pixels, const std::function<void(int)>& part);

}  // namespace CAPixelWorkers

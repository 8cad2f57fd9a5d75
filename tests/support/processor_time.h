// The processor time this process has used, for the cost guards that compare two
// measurements: steadier than wall time on a machine shared with other work.
#pragma once

// Processor seconds (user and system) this process has used so far. The clock
// may advance in steps of a scheduler tick, so short spans read as 0 or a tick.
double processor_seconds();

// Processor seconds one call of `work` takes: the average over as many calls as
// move the clock well past its step, so that work shorter than a tick still
// reads as what it costs.
template <class Work>
double processor_seconds_per_call(Work&& work) {
    const double started = processor_seconds();
    for (int calls = 1;; ++calls) {
        work();
        if (const double spent = processor_seconds() - started; spent >= 0.1)
            return spent / calls;
    }
}

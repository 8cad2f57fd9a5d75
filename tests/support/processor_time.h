// The processor time this process has used, for the cost guards that compare two
// measurements: steadier than wall time on a machine shared with other work.
#pragma once

// Processor seconds (user and system) this process has used so far. The clock
// may advance in steps of a scheduler tick, so short spans read as 0 or a tick.
double processor_seconds();

#pragma once

namespace vidlatch::bench {

// Proportional set size, in KiB, of this process and every process it has
// started (the web engine's helpers), summed.
long PssWithHelpersKiB();

// Milliseconds since the wall-clock time in the VIDLATCH_BENCH_T0 variable
// (nanoseconds, set just before the program was started); -1 without it.
double MillisecondsSinceStart();

} // namespace vidlatch::bench

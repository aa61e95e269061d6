#pragma once

#include <map>
#include <string>
#include <vector>

namespace vidlatch::bench {

// One process of the program's tree: what it is ("program", a web engine
// helper's --type: "zygote", "utility", "gpu-process", or "renderer", then
// the pages it draws: "renderer-preview"), its proportional set size in KiB
// and the CPU time it has used, in clock ticks.
struct ProcessPss {
    std::string role;
    int pid;
    long pssKiB;
    long cpuTicks;
};
// `pages`: the pages each renderer draws, by its process id.
std::vector<ProcessPss> PssByProcess(const std::map<int, std::string>& pages = {});

// A process's role from its command line. Chromium rewrites its helpers'
// command lines into one string of words parted by spaces, not NULs.
std::string RoleOf(const std::string& commandLine);

// Clock ticks a second, for ProcessPss::cpuTicks.
long TicksPerSecond();

// Resident set size of this process alone, in KiB.
long ResidentKiB();

// Proportional set size, in KiB, of this process and every process it has
// started (the web engine's helpers), summed.
long PssWithHelpersKiB();

// Milliseconds since the wall-clock time in the VIDLATCH_BENCH_T0 variable
// (nanoseconds, set just before the program was started); -1 without it.
double MillisecondsSinceStart();

} // namespace vidlatch::bench

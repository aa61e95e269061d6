#include "ProcessTree.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace vidlatch::bench {
namespace {

long PssKiB(int pid)
{
    std::ifstream rollup("/proc/" + std::to_string(pid) + "/smaps_rollup");
    std::string key;
    long value = 0;
    while (rollup >> key) {
        if (key == "Pss:") {
            rollup >> value;
            return value;
        }
        rollup.ignore(1 << 12, '\n');
    }
    return 0;
}

std::vector<int> Children(int pid)
{
    std::vector<int> children;
    std::ifstream tasks("/proc/" + std::to_string(pid) + "/task/" + std::to_string(pid) + "/children");
    for (int child; tasks >> child;)
        children.push_back(child);
    return children;
}

long TreePss(int pid)
{
    long total = PssKiB(pid);
    for (int child : Children(pid))
        total += TreePss(child);
    return total;
}

long CpuTicks(int pid)
{
    // utime and stime, the 14th and 15th fields; the command name before them
    // is in parentheses and may hold spaces.
    std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
    std::string line;
    std::getline(stat, line);
    const std::size_t close = line.rfind(')');
    if (close == std::string::npos)
        return 0;
    std::istringstream fields(line.substr(close + 2));
    std::string field;
    long user = 0, system = 0;
    for (int i = 3; i <= 15 && fields >> field; ++i) {
        if (i == 14) user = std::strtol(field.c_str(), nullptr, 10);
        if (i == 15) system = std::strtol(field.c_str(), nullptr, 10);
    }
    return user + system;
}

std::string Role(int pid)
{
    std::ifstream cmdline("/proc/" + std::to_string(pid) + "/cmdline");
    return RoleOf(std::string(std::istreambuf_iterator<char>(cmdline), std::istreambuf_iterator<char>()));
}

void CollectTree(int pid, const std::string& parentRole, const std::map<int, std::string>& pages,
                 std::vector<ProcessPss>& out)
{
    std::string role = Role(pid);
    // What the zygote forks keeps the zygote's command line until it runs
    // a page: those are the renderers.
    if (role == "zygote" && parentRole == "zygote")
        role = "renderer";
    if (const auto named = pages.find(pid); role == "renderer" && named != pages.end())
        role += "-" + named->second;
    out.push_back({role, pid, PssKiB(pid), CpuTicks(pid)});
    for (int child : Children(pid))
        CollectTree(child, role, pages, out);
}

} // namespace

std::string RoleOf(const std::string& commandLine)
{
    std::size_t word = 0;
    while (word < commandLine.size()) {
        const std::size_t end = std::min(commandLine.find_first_of(std::string(" \0", 2), word), commandLine.size());
        if (commandLine.compare(word, 7, "--type=") == 0 && end > word + 7)
            return commandLine.substr(word + 7, end - word - 7);
        word = end + 1;
    }
    return "program";
}

std::vector<ProcessPss> PssByProcess(const std::map<int, std::string>& pages)
{
    std::vector<ProcessPss> processes;
    CollectTree(static_cast<int>(::getpid()), std::string(), pages, processes);
    return processes;
}

long TicksPerSecond()
{
    return ::sysconf(_SC_CLK_TCK);
}

long ResidentKiB()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return 0;
}

long PssWithHelpersKiB()
{
    return TreePss(static_cast<int>(::getpid()));
}

double MillisecondsSinceStart()
{
    const char* t0 = std::getenv("VIDLATCH_BENCH_T0");
    if (!t0)
        return -1;
    const auto now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                         std::chrono::system_clock::now().time_since_epoch()).count();
    return static_cast<double>(now - std::strtoll(t0, nullptr, 10)) / 1e6;
}

} // namespace vidlatch::bench

#include "AddressCorpus.h"
#include "ParsePageAddress.h"
#include "TextSearch.h"

#include <benchmark/benchmark.h>

namespace {

const std::vector<std::u16string>& Corpus()
{
    static const auto corpus = vidlatch::bench::RealisticAddresses(4096);
    return corpus;
}


void BM_ParsePageAddress(benchmark::State& state)
{
    for (auto _ : state) {
        for (const std::u16string& address : Corpus()) {
            auto result = vidlatch::ParsePageAddress(address, true);
            benchmark::DoNotOptimize(result);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Corpus().size()));
}
BENCHMARK(BM_ParsePageAddress);

// The byte path of vidlatch-cli: the same addresses as bytes, one reused buffer.
void BM_ParsePageAddressBytes(benchmark::State& state)
{
    std::vector<std::string> corpus;
    for (const std::u16string& address : Corpus())
        corpus.emplace_back(address.begin(), address.end());
    std::string code;
    for (auto _ : state) {
        for (const std::string& address : corpus) {
            auto outcome = vidlatch::ParsePageAddress<char>(address, true, code);
            benchmark::DoNotOptimize(outcome);
            benchmark::DoNotOptimize(code.data());
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * corpus.size()));
}
BENCHMARK(BM_ParsePageAddressBytes);

// The floor: one pass over the same code units, looking for one of them.
void BM_SingleScan(benchmark::State& state)
{
    for (auto _ : state) {
        for (const std::u16string& address : Corpus()) {
            auto hash = vidlatch::text::Find<char16_t>(address, u'#');
            benchmark::DoNotOptimize(hash);
        }
    }
    state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * Corpus().size()));
}
BENCHMARK(BM_SingleScan);

} // namespace

BENCHMARK_MAIN();

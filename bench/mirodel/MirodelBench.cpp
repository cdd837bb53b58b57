// Figures of libMirodel: a scan list of 1,000 networks built and delivered, and the store
// operations on one profile among 10,000. Each figure is per operation.
#include "adapter/Mirodel.h"
#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

namespace {

std::filesystem::path g_dir;
std::atomic<std::uint32_t> g_delivered{0};
std::atomic<int> g_lists{0};

void OnScan(MirodelList* list)
{
    g_delivered = list ? list->count : 0;
    ++g_lists;
}

/// A program directory whose world has 1,000 open networks and an adapter, whose scans
/// take no simulated time, and a store of 10,000 profiles.
void Prepare()
{
    char pattern[] = "/tmp/mirodel-bench-XXXXXX";
    g_dir = mkdtemp(pattern);
    std::ofstream air(g_dir / "Air.ini");
    air << "[World]\nScanTime=0\nDriftDb=3\n[Adapter a]\nName=Bench Adapter\nMac=00:1F:3C:00:00:01\n";
    for (int i = 0; i < 1000; ++i) {
        char bssid[18];
        std::snprintf(bssid, sizeof bssid, "02:00:00:00:%02X:%02X", i >> 8, i & 255);
        air << "[Network n" << i << "]\nSsid=net-" << i << "\nBssid=" << bssid << "\nChannel=" << 1 + i % 11
            << "\nSignal=" << -40 - i % 50 << "\n";
    }
    air.close();
    std::ofstream(g_dir / "Mirodel.ini") << "[Mirodel]\nScenario=Air.ini\nStoreFolder=" << (g_dir / "store").string()
                                         << "\n";
    std::ofstream rec(g_dir / "Profile.rec");
    for (int i = 0; i < 10000; ++i)
        rec << "[p" << i << "]\nssid=net-" << i % 1000 << "\nauthMode=WPA2-PSK\nencryption=AES\npassphrase=passphrase-"
            << i << "\n";
    rec.close();
    platform::SetProgramDirectory(g_dir);
    if (MirodelOpenAdapter("Bench Adapter", MIRODEL_OPEN_BY_NAME) != 0 ||
        MirodelProfileOp(nullptr, MIRODEL_OP_IMPORT, MIRODEL_STORE_USER, (g_dir / "Profile.rec").c_str()) != 0) {
        std::fprintf(stderr, "benchmark set-up failed\n");
        std::exit(1);
    }
}

ProfileRecord Profile(const char* name)
{
    ProfileRecord p;
    std::memset(&p, 0, sizeof p);
    std::snprintf(p.profileName, sizeof p.profileName, "%s", name);
    std::snprintf(p.ssid, sizeof p.ssid, "net-extra");
    std::snprintf(p.passphrase, sizeof p.passphrase, "passphrase-extra");
    p.authMode = 3;
    p.encryption = 3;
    p.keyFormat = KEY_ASCII;
    return p;
}

void BM_ScanList1000Sync(benchmark::State& state)
{
    for (auto _ : state) {
        MirodelGetScanList(OnScan, MIRODEL_SCAN_SYNC, 0);
        benchmark::DoNotOptimize(g_delivered.load());
    }
    state.counters["entries"] = g_delivered.load();
}
BENCHMARK(BM_ScanList1000Sync)->Unit(benchmark::kMicrosecond);

void BM_ScanList1000Async(benchmark::State& state)
{
    for (auto _ : state) {
        const int before = g_lists;
        MirodelGetScanList(OnScan, MIRODEL_SCAN_ASYNC, 0);
        while (g_lists == before)
            std::this_thread::yield();
    }
    state.counters["entries"] = g_delivered.load();
}
BENCHMARK(BM_ScanList1000Async)->Unit(benchmark::kMicrosecond);

void BM_StoreAdd(benchmark::State& state)
{
    ProfileRecord p = Profile("extra");
    for (auto _ : state) {
        if (MirodelProfileOp(&p, MIRODEL_OP_ADD, MIRODEL_STORE_USER, nullptr) != 0)
            state.SkipWithError("add failed");
        state.PauseTiming();
        MirodelProfileOp(&p, MIRODEL_OP_DELETE, MIRODEL_STORE_USER, nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_StoreAdd)->Unit(benchmark::kMillisecond);

void BM_StoreReplace(benchmark::State& state)
{
    ProfileRecord p = Profile("p5000");
    for (auto _ : state)
        if (MirodelProfileOp(&p, MIRODEL_OP_REPLACE, MIRODEL_STORE_USER, nullptr) != 0)
            state.SkipWithError("replace failed");
}
BENCHMARK(BM_StoreReplace)->Unit(benchmark::kMillisecond);

void BM_StoreDelete(benchmark::State& state)
{
    ProfileRecord p = Profile("extra");
    for (auto _ : state) {
        state.PauseTiming();
        MirodelProfileOp(&p, MIRODEL_OP_ADD, MIRODEL_STORE_USER, nullptr);
        state.ResumeTiming();
        if (MirodelProfileOp(&p, MIRODEL_OP_DELETE, MIRODEL_STORE_USER, nullptr) != 0)
            state.SkipWithError("delete failed");
    }
}
BENCHMARK(BM_StoreDelete)->Unit(benchmark::kMillisecond);

void BM_StoreReadDefault(benchmark::State& state)
{
    ProfileRecord p;
    for (auto _ : state)
        if (MirodelProfileOp(&p, MIRODEL_OP_READ_DEFAULT, MIRODEL_STORE_USER, nullptr) != 0)
            state.SkipWithError("read failed");
}
BENCHMARK(BM_StoreReadDefault)->Unit(benchmark::kMicrosecond);

void BM_StoreListAll(benchmark::State& state)
{
    MirodelList* list = nullptr;
    for (auto _ : state)
        if (MirodelGetProfiles(&list, MIRODEL_STORE_USER) != 0)
            state.SkipWithError("list failed");
    state.counters["profiles"] = list ? list->count : 0;
}
BENCHMARK(BM_StoreListAll)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    Prepare();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    std::error_code ec;
    std::filesystem::remove_all(g_dir, ec);
    return 0;
}

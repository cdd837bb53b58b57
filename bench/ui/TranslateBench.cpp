// Start-up translation: the 300 lookups a start makes, against a language file of 5,000 lines
// (and, for comparison, one of 150 lines, the size of a complete translation).
#include "platform/System.h"
#include "ui/MultiLanguage.h"

#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kLinesPerSection = 100; // a header and 99 keys

std::string Key(int section, int key)
{
    return "English text number " + std::to_string(key) + " of the dialog " +
           std::to_string(section);
}

void BM_StartupTranslation(benchmark::State& state)
{
    const int lines = static_cast<int>(state.range(0));
    const int sections = lines / kLinesPerSection;
    const int keys = lines / sections - 1;
    QTemporaryDir dir;
    {
        std::ofstream out(dir.path().toStdString() + "/MultiLanguage.tmp");
        for (int s = 0; s < sections; ++s) {
            out << "[Dialog " << s << "]\r\n";
            for (int k = 0; k < keys; ++k)
                out << Key(s, k) << "=Traduction numero " << k << " du dialogue " << s << "\r\n";
        }
    }
    platform::SetProgramDirectory(dir.path().toStdString());

    // 300 lookups spread over the file; one in ten is not translated.
    std::vector<std::pair<std::string, std::string>> lookups;
    for (int i = 0; i < 300; ++i) {
        const int section = (i * 17) % sections;
        const int key = (i * 37) % keys;
        lookups.emplace_back("Dialog " + std::to_string(section),
                             i % 10 == 9 ? "Untranslated text " + std::to_string(i)
                                         : Key(section, key));
    }
    CMultiLanguage lang;
    for (auto _ : state) {
        for (const auto& [section, key] : lookups)
            benchmark::DoNotOptimize(lang.Translate(section, key));
    }
    state.counters["lookups"] = static_cast<double>(lookups.size());
    platform::SetProgramDirectory({});
}

} // namespace

BENCHMARK(BM_StartupTranslation)->Arg(5000)->Arg(150)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();

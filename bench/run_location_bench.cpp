// Start-up's check of the run-location record, with records of growing length.
// Goal: a 20,000-line record costs start-up no more than a few milliseconds, growing linearly.

#include "app/RDP_basApp.h"
#include "common/CodePage936.h"

#include "tests/support/FakePlatform.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

// A record of `lines` other folders followed by the program's own, so nothing is appended.
void BM_CheckRunLocation(benchmark::State& state) {
    QTemporaryDir dir;
    rdp::test::FakePlatform fake;
    fake.programFolder = dir.path() + QStringLiteral("/程序");
    fake.systemFolder = dir.path() + QLatin1Char('/');
    QFile record(dir.filePath(QStringLiteral("WinClientPath.DLL")));
    if (!record.open(QIODevice::WriteOnly)) {
        state.SkipWithError("no record");
        return;
    }
    for (int i = 0; i < state.range(0); ++i) {
        record.write(rdp::ToCodePage936(QStringLiteral("/home/user/程序%1\r\n").arg(i)));
    }
    record.write(rdp::ToCodePage936(fake.programFolder) + "\r\n");
    record.close();
    const qint64 size = record.size();
    for (auto _ : state) {
        benchmark::DoNotOptimize(RDP_basClient::CheckRunLocation());
    }
    if (QFile(record.fileName()).size() != size) {
        state.SkipWithError("the record grew");
    }
    state.SetComplexityN(state.range(0));
}

} // namespace

BENCHMARK(BM_CheckRunLocation)->Arg(1250)->Arg(5000)->Arg(20000)->Complexity();
BENCHMARK_MAIN();

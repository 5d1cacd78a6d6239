// Load and save of profile stores of growing size, and the line codec's throughput.
// Goal: 10,000 profiles load and save each in under 50 ms, growing linearly.

#include "profiles/ConnectParaStore.h"

#include "common/TextCodec.h"

#include "tests/support/FakePlatform.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

void FillList(RDP_ConnectPara& list, int profiles) {
    for (int i = 0; i < profiles; ++i) {
        RDP_ConnectParaItems& p = list.Add(QStringLiteral("办公室 %1").arg(i),
                                           QStringLiteral("server%1.example.cn").arg(i),
                                           QStringLiteral("3389"), QString(), QString(), 0, 0, 0);
        list.SetDefault(list.Count());
        p.setUserName(QStringLiteral("user%1").arg(i));
        p.setPassword(QStringLiteral("pa;ss=%1").arg(i));
        p.setIsSavePassword(1);
    }
}

// A program folder of its own holding a store of `profiles` profiles.
struct StoreFolder {
    explicit StoreFolder(int profiles) {
        fake.programFolder = dir.path();
        fake.systemFolder = dir.path() + QLatin1Char('/');
        FillList(list, profiles);
    }
    rdp::test::FakePlatform fake;
    QTemporaryDir dir;
    RDP_ConnectPara list;
};

void BM_SaveStore(benchmark::State& state) {
    StoreFolder folder(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(RDP_basClient::SaveConnectPara(folder.list).ok());
    }
    state.SetComplexityN(state.range(0));
}

void BM_LoadStore(benchmark::State& state) {
    StoreFolder folder(static_cast<int>(state.range(0)));
    if (!RDP_basClient::SaveConnectPara(folder.list).ok()) {
        state.SkipWithError("the store could not be saved");
    }
    for (auto _ : state) {
        RDP_ConnectPara list;
        benchmark::DoNotOptimize(RDP_basClient::LoadConnectPara(list).ok());
        if (list.Count() != state.range(0)) {
            state.SkipWithError("the store did not load whole");
        }
    }
    state.SetComplexityN(state.range(0));
}

QString SampleText() {
    return QStringLiteral("ConnectName = 办公室; UserName = 用户; Password = abc¶S123; "
                          "Server = 10.0.0.5; Port = 3389; ")
        .repeated(4);
}

void BM_EncodeLine(benchmark::State& state) {
    const QString text = SampleText();
    for (auto _ : state) {
        benchmark::DoNotOptimize(rdp::codec::EncodeLine(text));
    }
    state.SetBytesProcessed(state.iterations() * text.size() * 2); // UTF-16 bytes in
}

void BM_DecodeLine(benchmark::State& state) {
    const QByteArray line = rdp::codec::EncodeLine(SampleText());
    QString text;
    for (auto _ : state) {
        benchmark::DoNotOptimize(rdp::codec::DecodeLine(QByteArrayView(line), text));
    }
    state.SetBytesProcessed(state.iterations() * line.size()); // digits in
}

} // namespace

BENCHMARK(BM_SaveStore)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_LoadStore)
    ->Arg(100)
    ->Arg(1000)
    ->Arg(10000)
    ->Unit(benchmark::kMillisecond)
    ->Complexity(benchmark::oN);
BENCHMARK(BM_EncodeLine);
BENCHMARK(BM_DecodeLine);

BENCHMARK_MAIN();

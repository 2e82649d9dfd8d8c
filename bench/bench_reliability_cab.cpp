// Hostile cabinets: listing the largest member count a package may have and the 65,535
// members a header can claim (refused before the reader parses them), and unpacking a 3.7 MB
// package whose data claims 2 GiB (refused before anything is unpacked).
#include "tests/test_reliability_kit.h"
#include "theme/cab_file.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

QString cabinetOf(QTemporaryDir& dir, int members)
{
    orv::test::CabSpec spec;
    spec.folders = members;
    for (int i = 0; i < members; ++i)
        spec.files << orv::test::CabSpec::File{QByteArray::number(i) + ".txt", 0, 0, quint16(i)};
    const QString path = dir.filePath(QString::number(members) + ".cab");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(orv::test::cabinetBytes(spec));
    return path;
}

void BM_ListMembers(benchmark::State& state)
{
    QTemporaryDir dir;
    orv::CCabFile cab;
    cab.setCabName(cabinetOf(dir, static_cast<int>(state.range(0))));
    for (auto _ : state) {
        try {
            benchmark::DoNotOptimize(cab.GetXML({}));
        } catch (const orv::AppError&) {
        }
    }
}
BENCHMARK(BM_ListMembers)->Arg(orv::kCabMaxMembers)->Arg(65535)->Unit(benchmark::kMillisecond);

void BM_ExtractBomb(benchmark::State& state)
{
    QTemporaryDir dir;
    orv::test::CabSpec spec = orv::test::zeroFolder(65535);
    spec.files = {{"zephrin1.000", 524, 0}, {"tdywater.001", 65535u * 32768u - 1024u, 1024}};
    const QString path = dir.filePath(QStringLiteral("bomb.tsk"));
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(orv::test::cabinetBytes(spec));
    f.close();
    orv::CCabFile cab;
    cab.setCabName(path);
    for (auto _ : state) {
        try {
            cab.Extract({}, dir.filePath(QStringLiteral("out")), {});
        } catch (const orv::AppError&) {
        }
    }
}
BENCHMARK(BM_ExtractBomb)->Unit(benchmark::kMillisecond);

} // namespace

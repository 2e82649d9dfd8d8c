// Listing cabinets with many members: the largest count a package may have, and the
// 65,535 members a header can claim (refused before the reader parses them).
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

} // namespace

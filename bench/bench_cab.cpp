// Unpacking and building a theme package of about 200 KB with its three members.
#include "theme/cab_builder.h"
#include "theme/cab_file.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

struct Package {
    QTemporaryDir dir;
    orv::CabDirectives directives;
    QString cabinet;

    Package()
    {
        QRandomGenerator rng(7);
        const std::pair<const char*, int> members[] = {
            {"zephrin1.000", 525}, {"0stwater.002", 62000}, {"tdywater.001", 138000}};
        for (const auto& [name, size] : members) {
            QByteArray bytes(size, 0);
            for (char& c : bytes) c = static_cast<char>(rng.bounded(256));
            QFile f(QDir(dir.path()).filePath(QLatin1String(name)));
            f.open(QIODevice::WriteOnly);
            f.write(bytes);
            directives.files << QLatin1String(name);
            directives.names << QLatin1String(name);
        }
        directives.cabinetName = QStringLiteral("Bench.tsk");
        directives.diskDirectory = QStringLiteral(".");
        cabinet = orv::buildCabinet(directives, dir.path());
    }
};

Package& package()
{
    static Package p;
    return p;
}

void BM_ExtractPackage(benchmark::State& state)
{
    Package& p = package();
    const QString out = QDir(p.dir.path()).filePath(QStringLiteral("out"));
    orv::CCabFile cab;
    cab.setCabName(p.cabinet);
    for (auto _ : state) benchmark::DoNotOptimize(cab.Extract({}, out, {}));
}
BENCHMARK(BM_ExtractPackage)->Unit(benchmark::kMicrosecond);

void BM_BuildPackage(benchmark::State& state)
{
    Package& p = package();
    for (auto _ : state) benchmark::DoNotOptimize(orv::buildCabinet(p.directives, p.dir.path()));
}
BENCHMARK(BM_BuildPackage)->Unit(benchmark::kMicrosecond);

} // namespace

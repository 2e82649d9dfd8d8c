// Copying a 1 MB package to the handheld and back through the Cradlelink control, the way the
// transfer window does: names put into CRapi's properties, then the copy member called by id.
#include "devicectl/client/cradlelink_client.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>

namespace {

using orv::cradlelink::ControlHost;

struct Handheld {
    QTemporaryDir dir;
    std::unique_ptr<ControlHost> control;

    Handheld()
    {
        QDir().mkpath(dir.path() + "/device/My Documents");
        QDir().mkpath(dir.path() + "/pc");
        qputenv("ORVANTIS_DEVICE_ROOT", (dir.path() + "/device").toUtf8());
        QByteArray package(1 << 20, Qt::Uninitialized);
        for (int i = 0; i < package.size(); ++i) package[i] = static_cast<char>(i * 7 + (i >> 9));
        QFile f(dir.path() + "/pc/package.tsk");
        if (f.open(QIODevice::WriteOnly)) f.write(package);
        f.close();
        QFile::copy(f.fileName(), dir.path() + "/device/My Documents/package.tsk");
        const auto self = std::filesystem::read_symlink("/proc/self/exe").parent_path();
        control = ControlHost::load(QString::fromStdString(self.string()) + "/libcradlelink.so");
        if (control) control->ConnectRapi();
    }
    ~Handheld()
    {
        if (control) control->DisconnectRapi();
    }
};

void BM_DeviceCopyToPPC(benchmark::State& state)
{
    Handheld h;
    if (!h.control) {
        state.SkipWithError("libcradlelink.so not found beside the benchmark");
        return;
    }
    h.control->setPCFileNameToRead(h.dir.path() + "/pc/package.tsk");
    h.control->setPPCFileNameToWrite("\\my documents\\sent.tsk");
    for (auto _ : state)
        if (!h.control->TransferFileToPPC()) state.SkipWithError("copy to the handheld failed");
    state.SetBytesProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(BM_DeviceCopyToPPC)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

void BM_DeviceCopyFromPPC(benchmark::State& state)
{
    Handheld h;
    if (!h.control) {
        state.SkipWithError("libcradlelink.so not found beside the benchmark");
        return;
    }
    h.control->setPCFileNameToWrite(h.dir.path() + "/pc/received.tsk");
    h.control->setPPCFileNameToRead("\\My Documents\\package.tsk");
    for (auto _ : state)
        if (!h.control->TransferFileFromPPC()) state.SkipWithError("copy from the handheld failed");
    state.SetBytesProcessed(state.iterations() * (1 << 20));
}
BENCHMARK(BM_DeviceCopyFromPPC)->Unit(benchmark::kMillisecond)->Repetitions(7)->ReportAggregatesOnly(true);

} // namespace

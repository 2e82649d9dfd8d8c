#pragma once
// A handheld made in a temporary folder and the Cradlelink control loaded from the build, as
// the editor loads it: the tests reach CRapi only through its dispatch interface. The control's
// message boxes are recorded. ORVANTIS_RAPI_LIBRARY can point the control at the fault double.

#include "devicectl/client/cradlelink_client.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <memory>

namespace orv::test {

struct Box {
    QString text, title;
    bool operator==(const Box&) const = default;
};

class DeviceTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::unique_ptr<cradlelink::ControlHost> c;
    QList<Box> boxes;

    static QString controlLibrary() { return QString(ORV_BINARY_DIR) + "/libcradlelink.so"; }
    static QString faultLibrary() { return QString(ORV_BINARY_DIR) + "/testlibs/librapi_faulty.so"; }

    QString device(const QString& rel = {}) const { return dir.path() + "/device" + (rel.isEmpty() ? "" : "/" + rel); }
    QString pc(const QString& rel) const { return dir.path() + "/pc/" + rel; }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        QDir().mkpath(device("My Documents"));
        QDir().mkpath(device("Windows"));
        QDir().mkpath(dir.path() + "/pc");
        put(device("Windows/explorer.exe"), "MZ");
        qputenv("ORVANTIS_DEVICE_ROOT", device().toUtf8());
        qunsetenv("ORVANTIS_RAPI_LIBRARY");
    }

    void load()
    {
        QString problem;
        c = cradlelink::ControlHost::load(controlLibrary(), &problem);
        ASSERT_TRUE(c) << problem.toStdString();
        c->setMessageHandler([this](const QString& text, const QString& title) { boxes.append({text, title}); });
    }

    void connect()
    {
        load();
        ASSERT_EQ(c->ConnectRapi(), 0);
    }

    void TearDown() override
    {
        if (c) {
            try {
                while (c->DisconnectRapi() == 0) {
                }
            } catch (const AppError&) {
            }
        }
        c.reset();
        qunsetenv("ORVANTIS_RAPI_LIBRARY");
    }

    static void put(const QString& path, const QByteArray& bytes)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
        ASSERT_EQ(f.write(bytes), bytes.size());
    }

    static QByteArray get(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    static QByteArray pattern(int size)
    {
        QByteArray b(size, Qt::Uninitialized);
        for (int i = 0; i < size; ++i) b[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
        return b;
    }

    // The full list of a search, as the transfer window walks it.
    QStringList search(const QString& pattern)
    {
        QStringList names;
        c->setPPCSearchPath(pattern);
        if (c->FindFirstFile() == -1) return names;
        do names << c->PPCFoundFile(); while (c->FindNextFile() != 0);
        return names;
    }
};

// The switches of the fault double, looked up in the copy the control has loaded.
struct FaultSwitches {
    void* lib = dlopen((QString(ORV_BINARY_DIR) + "/testlibs/librapi_faulty.so").toUtf8().constData(), RTLD_NOW);
    void (*set)(const char*, long long) = reinterpret_cast<void (*)(const char*, long long)>(dlsym(lib, "RapiFaultSet"));
    void (*listing)(const WCHAR* const*, const int*, int) =
        reinterpret_cast<void (*)(const WCHAR* const*, const int*, int)>(dlsym(lib, "RapiFaultListing"));
    int (*openHandles)() = reinterpret_cast<int (*)()>(dlsym(lib, "RapiFaultOpenHandles"));
    unsigned (*largestRead)() = reinterpret_cast<unsigned (*)()>(dlsym(lib, "RapiFaultLargestRead"));
    FaultSwitches() { reinterpret_cast<void (*)()>(dlsym(lib, "RapiFaultReset"))(); }
    ~FaultSwitches() { dlclose(lib); }
};

} // namespace orv::test

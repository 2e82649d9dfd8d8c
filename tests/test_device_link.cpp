// librapi.so called as any Remote API client calls it: the read-only rules taken from the mode
// bits (root included), small handle numbers, and a connection that must be opened first.
#include "device_test_kit.h"

#include "devicelink/rapi.h"

#include <sys/stat.h>

namespace orv::test {
namespace {

class DeviceLink : public DeviceTest {
protected:
    void* lib = nullptr;
    template <typename F>
    F fn(const char* name) { return reinterpret_cast<F>(dlsym(lib, name)); }

    void SetUp() override
    {
        DeviceTest::SetUp();
        lib = dlopen((QString(ORV_BINARY_DIR) + "/librapi.so").toUtf8().constData(), RTLD_NOW | RTLD_LOCAL);
        ASSERT_TRUE(lib);
    }
    void TearDown() override
    {
        while (fn<decltype(&CeRapiUninit)>("CeRapiUninit")() == S_OK) {
        }
        dlclose(lib);
        DeviceTest::TearDown();
    }
};

TEST_F(DeviceLink, ReadOnlyComesFromTheModeBitsAndGuardsTheFile)
{
    const auto init = fn<decltype(&CeRapiInitEx)>("CeRapiInitEx");
    const auto attributes = fn<decltype(&CeGetFileAttributes)>("CeGetFileAttributes");
    const auto setAttributes = fn<decltype(&CeSetFileAttributes)>("CeSetFileAttributes");
    const auto remove = fn<decltype(&CeDeleteFile)>("CeDeleteFile");
    const auto create = fn<decltype(&CeCreateFile)>("CeCreateFile");
    const auto close = fn<decltype(&CeCloseHandle)>("CeCloseHandle");
    const auto lastError = fn<decltype(&CeGetLastError)>("CeGetLastError");
    const auto uninit = fn<decltype(&CeRapiUninit)>("CeRapiUninit");
    put(device("My Documents/a.tsk"), "a");
    const char16_t* path = u"\\my documents\\A.tsk";

    EXPECT_EQ(attributes(path), INVALID_FILE_ATTRIBUTES); // no connection yet
    RAPIINIT r{sizeof r, nullptr, -1};
    ASSERT_EQ(init(&r), S_OK);
    EXPECT_EQ(r.hrRapiInit, S_OK);
    EXPECT_EQ(attributes(path), 32u);
    EXPECT_EQ(attributes(u"\\My Documents"), 16u);

    EXPECT_TRUE(setAttributes(path, FILE_ATTRIBUTE_READONLY));
    struct stat st{};
    stat(device("My Documents/a.tsk").toUtf8().constData(), &st);
    EXPECT_EQ(st.st_mode & 0222, 0u);
    EXPECT_EQ(attributes(path), 33u);
    EXPECT_EQ(create(path, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr), INVALID_HANDLE_VALUE);
    EXPECT_EQ(lastError(), 5u);
    EXPECT_FALSE(remove(path));
    EXPECT_EQ(lastError(), 5u);

    EXPECT_TRUE(setAttributes(path, 0));
    EXPECT_EQ(attributes(path), 32u);
    const HANDLE h = create(path, GENERIC_READ, 1, nullptr, OPEN_EXISTING, 128, nullptr);
    EXPECT_GT(reinterpret_cast<intptr_t>(h), 0);
    EXPECT_LT(reinterpret_cast<intptr_t>(h), 0x7FFFFFFF);
    EXPECT_TRUE(close(h));
    EXPECT_FALSE(close(h));
    EXPECT_EQ(lastError(), 6u);
    EXPECT_TRUE(remove(path));
    EXPECT_EQ(uninit(), S_OK);
    EXPECT_EQ(uninit(), E_FAIL);
}

} // namespace
} // namespace orv::test

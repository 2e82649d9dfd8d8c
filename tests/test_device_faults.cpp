// The control's copies against a device link that fails on purpose: writes that fail or store
// less than asked, a read that fails half way, sizes from 2 GiB up, hostile names in a device
// listing, and the device files every operation must close.
#include "device_test_kit.h"

namespace orv::test {
namespace {

class ControlFaults : public DeviceTest {
protected:
    std::unique_ptr<FaultSwitches> faults;

    void SetUp() override
    {
        DeviceTest::SetUp();
        qputenv("ORVANTIS_RAPI_LIBRARY", faultLibrary().toUtf8());
        faults = std::make_unique<FaultSwitches>();
        ASSERT_TRUE(faults->set && faults->listing && faults->openHandles);
        connect();
    }
    void TearDown() override
    {
        DeviceTest::TearDown();
        faults.reset();
    }
};

TEST_F(ControlFaults, FailedOrShortWriteIsAnErrorWritingToThePPC)
{
    put(pc("a.tsk"), pattern(4000));
    const struct {
        const char* fault;
        long long value;
        int lastError;
    } cases[] = {{"write_fail", 112, 112}, {"write_short", 1000, -1}};
    for (const auto& t : cases) {
        boxes.clear();
        faults->set(t.fault, t.value);
        c->setPCFileNameToRead(pc("a.tsk"));
        c->setPPCFileNameToWrite("\\My Documents\\a.tsk");
        EXPECT_FALSE(c->TransferFileToPPC()) << t.fault;
        EXPECT_EQ(boxes, QList<Box>({{"Error writing to PPC", "Cradlelink"}})) << t.fault;
        if (t.lastError >= 0) {
            EXPECT_EQ(c->LastError(), t.lastError);
        }
        EXPECT_EQ(faults->openHandles(), 0) << t.fault;
        faults->set(t.fault, t.fault == std::string("write_fail") ? 0 : -1);
    }
}

TEST_F(ControlFaults, ReadFailingHalfWayKeepsTheExistingPcFile)
{
    put(device("My Documents/a.tsk"), pattern(10000));
    put(pc("a.tsk"), "the PC's own copy");
    faults->set("read_chunk", 5000);
    faults->set("read_fail_after", 5000);
    c->setPCFileNameToWrite(pc("a.tsk"));
    c->setPPCFileNameToRead("\\My Documents\\a.tsk");
    EXPECT_FALSE(c->TransferFileFromPPC());
    EXPECT_EQ(boxes, QList<Box>({{"Error reading from PPC", "Cradlelink"}}));
    EXPECT_EQ(get(pc("a.tsk")), "the PC's own copy");
    EXPECT_EQ(QDir(dir.path() + "/pc").entryList(QDir::Files | QDir::Hidden), QStringList{"a.tsk"});
    EXPECT_EQ(faults->openHandles(), 0);
}

TEST_F(ControlFaults, ReadInPiecesStillCopiesTheWholeFile)
{
    put(device("My Documents/a.tsk"), pattern(10000));
    faults->set("read_chunk", 3000);
    c->setPCFileNameToWrite(pc("a.tsk"));
    c->setPPCFileNameToRead("\\My Documents\\a.tsk");
    EXPECT_TRUE(c->TransferFileFromPPC());
    EXPECT_EQ(get(pc("a.tsk")), pattern(10000));
}

TEST_F(ControlFaults, CopyToThePcReadsInBoundedPiecesWhateverTheSize)
{
    // The whole file in one request would hold it all in memory at once.
    put(device("My Documents/big.tsk"), pattern(3 * 1024 * 1024));
    c->setPCFileNameToWrite(pc("big.tsk"));
    c->setPPCFileNameToRead("\\My Documents\\big.tsk");
    EXPECT_TRUE(c->TransferFileFromPPC());
    EXPECT_EQ(get(pc("big.tsk")), pattern(3 * 1024 * 1024));
    EXPECT_GT(faults->largestRead(), 0u);
    EXPECT_LE(faults->largestRead(), 1024u * 1024u);
}

TEST_F(ControlFaults, SizesFromTwoGibibytesUpAreNotCopyable)
{
    put(device("My Documents/a.tsk"), "a");
    put(pc("a.tsk"), "kept");
    const struct {
        long long low, high;
    } cases[] = {{0x80000000LL, 0}, {0xFFFFFFFFLL, 0}, {5, 1}};
    for (const auto& t : cases) {
        faults->set("size_low", t.low);
        faults->set("size_high", t.high);
        EXPECT_EQ(c->GetPPCFileSize("\\My Documents\\a.tsk"), 0) << t.low << " " << t.high;
        c->setPCFileNameToWrite(pc("a.tsk"));
        c->setPPCFileNameToRead("\\My Documents\\a.tsk");
        EXPECT_FALSE(c->TransferFileFromPPC());
    }
    EXPECT_TRUE(boxes.isEmpty());
    EXPECT_EQ(get(pc("a.tsk")), "kept");
    EXPECT_EQ(faults->openHandles(), 0);
}

TEST_F(ControlFaults, EveryDeviceFileOpenedIsClosedWhenItsOperationEnds)
{
    put(device("My Documents/a.tsk"), "abc");
    put(pc("b.tsk"), "b");
    c->GetPPCFileSize("\\My Documents\\a.tsk");
    c->setPCFileNameToWrite(pc("a.tsk"));
    c->setPPCFileNameToRead("\\My Documents\\a.tsk");
    EXPECT_TRUE(c->TransferFileFromPPC());
    c->setPCFileNameToRead(pc("b.tsk"));
    c->setPPCFileNameToWrite("\\My Documents\\b.tsk");
    EXPECT_TRUE(c->TransferFileToPPC());
    EXPECT_EQ(faults->openHandles(), 0);
    // A search started and then replaced by a file operation is closed as well.
    c->setPPCSearchPath("\\My Documents\\*.tsk");
    EXPECT_NE(c->FindFirstFile(), -1);
    c->GetPPCFileSize("\\My Documents\\a.tsk");
    EXPECT_EQ(faults->openHandles(), 0);
}

TEST_F(ControlFaults, HostileListingNamesComeThroughUnitForUnit)
{
    const std::u16string n259(259, u'n'), n260(260, u'm');
    const WCHAR* names[] = {u"..", u"a/b.tsk", u"..\\..\\x.tsk", n259.c_str(), n260.c_str()};
    const int lengths[] = {2, 7, 11, 259, 260};
    faults->listing(names, lengths, 5);
    const QStringList found = search("\\My Documents\\*.tsk");
    EXPECT_EQ(found, QStringList({"..", "a/b.tsk", "..\\..\\x.tsk", QString(259, 'n'), QString(260, 'm')}));
}

} // namespace
} // namespace orv::test

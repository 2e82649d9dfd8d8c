// Writes the 524-byte theme template: a Windows CE setup file ("MSCE") that installs the
// two backgrounds into the Windows folder and writes fourteen binary values under
// HKLM\Software\Microsoft\Color. The editor patches the name and colours into a copy of it.
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace {

class Writer {
public:
    void u16(std::uint16_t v) { bytes_.push_back(v & 0xFF); bytes_.push_back(v >> 8); }
    void u32(std::uint32_t v) { u16(v & 0xFFFF); u16(v >> 16); }
    // Text and its terminating zero.
    void sz(const std::string& s) { bytes_.insert(bytes_.end(), s.begin(), s.end()); bytes_.push_back(0); }
    void raw(std::initializer_list<std::uint8_t> b) { bytes_.insert(bytes_.end(), b); }
    std::size_t size() const { return bytes_.size(); }
    const std::vector<std::uint8_t>& bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

struct Value {
    const char* name;
    std::uint8_t bytes[4];
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: gentemplate OUTPUT\n");
        return 2;
    }
    // The table offsets follow from the sizes of the parts before them.
    const std::uint32_t appName = 100, provider = 102, platforms = 110;
    const std::uint32_t strings = 123, dirs = 180, files = 196, keys = 245, values = 261;
    const std::uint32_t end = 521;

    Writer w;
    w.raw({'M', 'S', 'C', 'E'});
    w.u32(0);
    w.u32(end);          // file length (data part)
    w.u32(0);
    w.u32(1);
    w.u32(2577);         // StrongARM
    w.u32(3); w.u32(0);  // lowest CE version 3.0
    w.u32(100); w.u32(0); // highest CE version 100.0
    w.u32(0); w.u32(0);  // build numbers
    w.u16(5); w.u16(2); w.u16(2); w.u16(1); w.u16(14); w.u16(0);
    w.u32(strings); w.u32(dirs); w.u32(files); w.u32(keys); w.u32(values); w.u32(end);
    w.u16(appName); w.u16(2);
    w.u16(provider); w.u16(8);
    w.u16(platforms); w.u16(13);
    w.u16(0); w.u16(0);

    w.sz("a");
    w.sz("Windows");
    w.sz("HPC"); w.sz("JUPITER"); w.raw({0});

    const char* texts[] = {"%CE2%", "%CE2%", "Software", "Microsoft", "Color"};
    for (std::uint16_t i = 0; i < 5; ++i) {
        const std::string t = texts[i];
        w.u16(i + 1); w.u16(static_cast<std::uint16_t>(t.size() + 1)); w.sz(t);
    }

    // Directories 2 and 1, both "%CE2%".
    w.u16(2); w.u16(4); w.u16(2); w.u16(0);
    w.u16(1); w.u16(4); w.u16(1); w.u16(0);

    const char* fileNames[] = {"tdywater.gif", "stwater.gif"};
    for (std::uint16_t i = 0; i < 2; ++i) {
        const std::string n = fileNames[i];
        w.u16(i + 1); w.u16(2); w.u16(i + 1); w.u32(0x40000000);
        w.u16(static_cast<std::uint16_t>(n.size() + 1)); w.sz(n);
    }

    // HKEY_LOCAL_MACHINE\Software\Microsoft\Color
    w.u16(1); w.u16(3); w.u16(0); w.u16(8); w.u16(3); w.u16(4); w.u16(5); w.u16(0);

    const Value vals[] = {
        {"5", {0x00, 0x80, 0xFF, 0x00}}, {"8", {0x00, 0x00, 0xA0, 0x00}},
        {"9", {0xFF, 0xFF, 0xFF, 0x00}}, {"4", {0x00, 0x00, 0x00, 0x00}},
        {"6", {0x00, 0x00, 0x00, 0x00}}, {"7", {0xC0, 0xC0, 0xC0, 0x00}},
        {"10", {0xFF, 0x00, 0x00, 0x00}}, {"11", {0xC0, 0xC0, 0xC0, 0x00}},
        {"12", {0x80, 0x80, 0x80, 0x00}}, {"13", {0x00, 0x00, 0xA0, 0x00}},
        {"14", {0x00, 0x80, 0xFF, 0x00}}, {"25", {0xFF, 0x00, 0x00, 0x00}},
        {"26", {0xFF, 0x80, 0x40, 0x00}}, {"42", {0x6D, 0x73, 0x66, 0x74}},
    };
    std::uint16_t id = 1;
    for (const auto& v : vals) {
        const std::string n = v.name;
        w.u16(id++); w.u16(1); w.u16(0); w.u32(1);
        w.u16(static_cast<std::uint16_t>(n.size() + 1 + 4));
        w.sz(n);
        w.raw({v.bytes[0], v.bytes[1], v.bytes[2], v.bytes[3]});
    }
    if (w.size() != end) {
        std::fprintf(stderr, "gentemplate: layout gives %zu bytes, expected %u\n", w.size(), end);
        return 1;
    }
    w.raw({0, 0, 0});

    std::FILE* f = std::fopen(argv[1], "wb");
    if (!f || std::fwrite(w.bytes().data(), 1, w.size(), f) != w.size() || std::fclose(f) != 0) {
        std::perror(argv[1]);
        return 1;
    }
    return 0;
}

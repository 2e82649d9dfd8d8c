// Feeds arbitrary UTF-16 units to the device link's CE path mapping and to its path calls: a
// path may be refused, but whatever it resolves to lies inside the device folder, whatever the
// "..", "/", overlong names, unpaired surrogates or links on the way.
#include "devicelink/ce_path.h"
#include "devicelink/device_link.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string canonical(const std::string& path)
{
    char* real = realpath(path.c_str(), nullptr);
    std::string out = real ? real : "";
    std::free(real);
    return out;
}

// A small handheld with links that point inside, outside and nowhere.
const std::string& deviceRoot()
{
    static const std::string root = [] {
        char base[] = "/tmp/fuzz_ce_path.XXXXXX";
        if (!mkdtemp(base)) std::abort();
        const std::string outer = base;
        const std::string dev = outer + "/device";
        mkdir(dev.c_str(), 0755);
        mkdir((dev + "/My Documents").c_str(), 0755);
        mkdir((dev + "/Windows").c_str(), 0755);
        std::fclose(std::fopen((dev + "/My Documents/a.tsk").c_str(), "w"));
        std::fclose(std::fopen((outer + "/secret").c_str(), "w"));
        if (symlink(outer.c_str(), (dev + "/My Documents/out").c_str()) != 0 ||
            symlink("../Windows", (dev + "/My Documents/win").c_str()) != 0 ||
            symlink((outer + "/nowhere").c_str(), (dev + "/My Documents/dangling").c_str()) != 0)
            std::abort();
        setenv("ORVANTIS_DEVICE_ROOT", dev.c_str(), 1);
        RAPIINIT init{sizeof(RAPIINIT), nullptr, 0};
        orv::rapi::rapiInitEx(&init);
        return canonical(dev);
    }();
    return root;
}

void mustBeInside(const std::string& root, const std::string& path)
{
    if (!orv::rapi::isWithin(root, path)) {
        std::fprintf(stderr, "escaped the device folder: %s\n", path.c_str());
        std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string& root = deviceRoot();
    if (size < 1) return 0;
    const bool wildcards = data[0] & 1;
    std::u16string units((size - 1) / 2, u'\0');
    std::memcpy(units.data(), data + 1, units.size() * 2);

    orv::rapi::CePath path;
    if (orv::rapi::parseCePath(units, wildcards, path) == 0) {
        orv::rapi::Resolved where;
        if (orv::rapi::resolveCePath(root, path, true, where) == 0) {
            if (where.exists) {
                mustBeInside(root, canonical(where.target));
            } else {
                const auto slash = where.target.rfind('/');
                mustBeInside(root, canonical(where.target.substr(0, slash)));
                if (where.target.substr(slash + 1).find_first_of("/") != std::string::npos) std::abort();
            }
        }
    }

    // The calls themselves, on a zero-terminated copy; nothing here may crash or escape.
    units.push_back(u'\0');
    CE_FIND_DATA found{};
    const HANDLE h = orv::rapi::findFirstFile(units.c_str(), &found);
    if (h != INVALID_HANDLE_VALUE) {
        while (orv::rapi::findNextFile(h, &found)) {
        }
        orv::rapi::findClose(h);
    }
    orv::rapi::getFileAttributes(units.c_str());
    return 0;
}

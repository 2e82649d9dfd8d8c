// DllRegisterServer and DllUnregisterServer: the group [Cradlelink.UCRapi] of the plain INI
// file $XDG_CONFIG_HOME/Cradlelink/classes.ini. Every other line of the file is kept as it was,
// and the file is replaced whole through a temporary file.
#include "devicectl/lib/automation.h"
#include "devicectl/lib/guid_util.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

using namespace orv::cradlelink;

const char kGroup[] = "[" CRADLELINK_PROGID "]";

std::string configFolder()
{
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg) return std::string(xdg) + "/" CRADLELINK_REGISTRY_DIR;
    if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.config/" CRADLELINK_REGISTRY_DIR;
    return {};
}

std::string trimmed(const std::string& line)
{
    const auto first = line.find_first_not_of(" \t\r");
    if (first == std::string::npos) return {};
    return line.substr(first, line.find_last_not_of(" \t\r") - first + 1);
}

bool isOurGroup(const std::string& line)
{
    const std::string t = trimmed(line);
    if (t.size() != sizeof kGroup - 1) return false;
    for (size_t i = 0; i < t.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(t[i])) != std::tolower(static_cast<unsigned char>(kGroup[i])))
            return false;
    return true;
}

// The file's lines without our group; false when the file exists but cannot be read.
bool otherLines(const std::string& file, std::vector<std::string>& lines, bool& hadGroup)
{
    hadGroup = false;
    std::ifstream in(file);
    if (!in) return errno == ENOENT;
    bool inOurs = false;
    for (std::string line; std::getline(in, line);) {
        const std::string t = trimmed(line);
        if (!t.empty() && t.front() == '[') inOurs = isOurGroup(line);
        if (inOurs) hadGroup = true;
        else lines.push_back(line);
    }
    return !in.bad();
}

bool writeWhole(const std::string& file, const std::vector<std::string>& lines)
{
    std::string temp = file + ".XXXXXX";
    const int fd = mkstemp(temp.data());
    if (fd < 0) return false;
    std::string text;
    for (const std::string& line : lines) text += line + "\n";
    const char* p = text.data();
    size_t left = text.size();
    bool ok = true;
    while (ok && left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0 && errno == EINTR) continue;
        ok = n > 0;
        if (ok) {
            p += n;
            left -= static_cast<size_t>(n);
        }
    }
    ok = fchmod(fd, 0644) == 0 && ok;
    ok = ::close(fd) == 0 && ok;
    ok = ok && ::rename(temp.c_str(), file.c_str()) == 0;
    if (!ok) ::unlink(temp.c_str());
    return ok;
}

} // namespace

CRADLELINK_EXPORT HRESULT DllRegisterServer(void)
{
    const std::string folder = configFolder();
    const std::string self = libraryPath();
    if (folder.empty() || self.empty()) return SELFREG_E_CLASS;
    const auto slash = folder.rfind('/');
    if (slash != std::string::npos && slash > 0) mkdir(folder.substr(0, slash).c_str(), 0700);
    if (mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) return SELFREG_E_CLASS;
    const std::string file = folder + "/" CRADLELINK_REGISTRY_FILE;
    std::vector<std::string> lines;
    bool hadGroup = false;
    if (!otherLines(file, lines, hadGroup)) return SELFREG_E_CLASS;
    while (!lines.empty() && trimmed(lines.back()).empty()) lines.pop_back();
    if (!lines.empty()) lines.emplace_back();
    lines.emplace_back(kGroup);
    lines.push_back("CLSID=" + guidText(CLSID_UCRapi));
    lines.push_back("InprocServer32=" + self);
    return writeWhole(file, lines) ? S_OK : SELFREG_E_CLASS;
}

CRADLELINK_EXPORT HRESULT DllUnregisterServer(void)
{
    const std::string folder = configFolder();
    if (folder.empty()) return SELFREG_E_CLASS;
    const std::string file = folder + "/" CRADLELINK_REGISTRY_FILE;
    std::vector<std::string> lines;
    bool hadGroup = false;
    if (!otherLines(file, lines, hadGroup)) return SELFREG_E_CLASS;
    if (!hadGroup) return S_OK;
    return writeWhole(file, lines) ? S_OK : SELFREG_E_CLASS;
}

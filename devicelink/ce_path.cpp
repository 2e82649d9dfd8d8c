// CE path parsing and the case-insensitive walk into the device folder. The walk checks each
// link it meets against the device folder, so no path can reach a file outside it.
#include "devicelink/ce_path.h"

#include "devicelink/utf16.h"

#include <QChar>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace orv::rapi {

namespace {

bool isHighSurrogate(char16_t c) { return c >= 0xD800 && c <= 0xDBFF; }
bool isLowSurrogate(char16_t c) { return c >= 0xDC00 && c <= 0xDFFF; }

bool isForbiddenUnit(char16_t c, bool wildcards)
{
    if (c < 0x20) return true;
    switch (c) {
    case u'/': case u':': case u'<': case u'>': case u'"': case u'|': return true;
    case u'*': case u'?': return !wildcards;
    default: return false;
    }
}

std::string canonical(const std::string& path)
{
    std::unique_ptr<char, decltype(&std::free)> real(realpath(path.c_str(), nullptr), &std::free);
    return real ? std::string(real.get()) : std::string();
}

} // namespace

std::u16string foldCase(std::u16string_view text)
{
    std::u16string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t cp = text[i];
        if (isHighSurrogate(text[i]) && i + 1 < text.size() && isLowSurrogate(text[i + 1])) {
            cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        }
        const char32_t f = QChar::toCaseFolded(cp);
        if (f >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((f - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((f - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(f);
        }
    }
    return out;
}

bool wildcardMatch(std::u16string_view pattern, std::u16string_view name)
{
    if (pattern == u"*.*") pattern = u"*";
    // Greedy match that backs up to the last star only: linear in practice, never exponential.
    size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && (pattern[p] == u'?' || pattern[p] == name[n])) {
            ++p;
            ++n;
        } else if (p < pattern.size() && pattern[p] == u'*') {
            starP = p++;
            starN = n;
        } else if (starP != std::u16string_view::npos) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == u'*') ++p;
    return p == pattern.size();
}

DWORD parseCePath(std::u16string_view path, bool wildcardsInLast, CePath& out)
{
    out = CePath{};
    if (path.size() >= MAX_PATH) return ERROR_FILENAME_EXCED_RANGE;
    std::vector<std::u16string_view> parts;
    size_t start = 0;
    for (size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == u'\\') {
            if (i > start) parts.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    out.trailingSeparator = !path.empty() && path.back() == u'\\';
    for (size_t k = 0; k < parts.size(); ++k) {
        const std::u16string_view part = parts[k];
        if (part == u"." || part == u"..") return ERROR_PATH_NOT_FOUND;
        const bool last = k + 1 == parts.size() && !out.trailingSeparator;
        for (const char16_t c : part)
            if (isForbiddenUnit(c, wildcardsInLast && last)) return ERROR_INVALID_NAME;
        std::string utf8;
        if (!utf16ToUtf8(part, utf8)) return ERROR_INVALID_NAME;
        out.components.push_back(std::move(utf8));
    }
    if (!out.trailingSeparator && !parts.empty()) out.lastName = std::u16string(parts.back());
    return ERROR_SUCCESS;
}

bool isListableName(const std::string& name, std::u16string& utf16)
{
    if (name.empty() || name == "." || name == "..") return false;
    if (!utf8ToUtf16(name, utf16) || utf16.size() >= MAX_PATH) return false;
    for (const char16_t c : utf16)
        if (c == u'\\' || isForbiddenUnit(c, false)) return false;
    return true;
}

std::string findEntryNoCase(const std::string& dirPath, const std::string& name)
{
    struct stat st{};
    const std::string exact = dirPath + "/" + name;
    if (lstat(exact.c_str(), &st) == 0) return name;

    std::u16string wanted;
    if (!utf8ToUtf16(name, wanted)) return {};
    wanted = foldCase(wanted);
    std::unique_ptr<DIR, DirCloser> dir(opendir(dirPath.c_str()));
    if (!dir) return {};
    std::string best;
    while (const dirent* e = readdir(dir.get())) {
        const std::string candidate = e->d_name;
        std::u16string u;
        if (!isListableName(candidate, u) || foldCase(u) != wanted) continue;
        if (best.empty() || candidate < best) best = candidate;
    }
    return best;
}

bool isWithin(const std::string& root, const std::string& target)
{
    if (target == root) return true;
    if (root == "/") return !target.empty() && target[0] == '/';
    return target.size() > root.size() && target.compare(0, root.size(), root) == 0 &&
           target[root.size()] == '/';
}

DWORD resolveCePath(const std::string& root, const CePath& path, bool lastMayBeMissing,
                    Resolved& out)
{
    out = Resolved{};
    std::string entry = root;
    std::string target = root;
    const size_t count = path.components.size();
    for (size_t i = 0; i < count; ++i) {
        const bool last = i + 1 == count;
        const std::string found = findEntryNoCase(target, path.components[i]);
        if (found.empty()) {
            if (!last) return ERROR_PATH_NOT_FOUND;
            if (path.trailingSeparator) return ERROR_PATH_NOT_FOUND;
            if (!lastMayBeMissing) return ERROR_FILE_NOT_FOUND;
            out.entry = target + "/" + path.components[i];
            out.target = out.entry;
            out.exists = false;
            return ERROR_SUCCESS;
        }
        entry = target + "/" + found;
        struct stat st{};
        if (lstat(entry.c_str(), &st) != 0) return last ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
        if (S_ISLNK(st.st_mode)) {
            // A link counts only when it ends inside the device folder; a dangling one
            // would let a create land wherever it points.
            const std::string real = canonical(entry);
            if (real.empty() || !isWithin(root, real)) return ERROR_PATH_NOT_FOUND;
            target = real;
            if (stat(target.c_str(), &st) != 0) return ERROR_PATH_NOT_FOUND;
        } else {
            target = entry;
        }
        if ((!last || path.trailingSeparator) && !S_ISDIR(st.st_mode)) return ERROR_PATH_NOT_FOUND;
    }
    out.entry = entry;
    out.target = target;
    out.exists = true;
    return ERROR_SUCCESS;
}

} // namespace orv::rapi

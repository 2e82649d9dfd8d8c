#pragma once
// CE paths ("\My Documents\x.tsk") mapped into the folder that holds the handheld's file
// system. Every component is matched without regard to case; a resolved path never leaves
// the device folder ("..", links pointing out of it and unpaired surrogates are refused).

#include "devicelink/rapi.h"

#include <dirent.h>
#include <string>
#include <string_view>
#include <vector>

namespace orv::rapi {

// The components of a CE path in UTF-8; a trailing separator leaves an empty last name.
struct CePath {
    std::vector<std::string> components;
    std::u16string lastName; // the last component as given, for wildcard matching
    bool trailingSeparator = false;
};

// Splits a zero-terminated CE path. Returns 0 or the Win32 error number: 206 for a path of
// 260 units or more, 3 for "." or ".." components, 123 for a name the handheld could not
// hold (control characters, '/', ':', '<', '>', '"', '|', an unpaired surrogate, and '*'
// or '?' unless wildcards are allowed in the last component).
DWORD parseCePath(std::u16string_view path, bool wildcardsInLast, CePath& out);

// Where a CE path lands in the device folder.
struct Resolved {
    std::string entry;  // the host path of the entry itself (a link stays a link)
    std::string target; // the host path to open: the entry with links resolved
    bool exists = false;
};

// Resolves the components below the canonical device folder `root`. When `lastMayBeMissing`,
// a missing last component resolves to the name as given (a new file keeps its case).
// Returns 0, 2 (last component missing) or 3 (a folder on the way missing, not a folder, or
// outside the device folder).
DWORD resolveCePath(const std::string& root, const CePath& path, bool lastMayBeMissing,
                    Resolved& out);

// The entry of `dirPath` whose name equals `name` without regard to case: the exact name when
// it exists, otherwise the first in byte order. Empty when there is none.
std::string findEntryNoCase(const std::string& dirPath, const std::string& name);

// Closes a directory stream held in a std::unique_ptr.
struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};

// True when `target` is `root` or lies below it (both canonical).
bool isWithin(const std::string& root, const std::string& target);

// Simple case folding of UTF-16 text (pairs folded as one character).
std::u16string foldCase(std::u16string_view text);

// `*` and `?` against a name, both already case-folded. `*.*` matches every name, as on the
// handheld.
bool wildcardMatch(std::u16string_view pattern, std::u16string_view name);

// A host directory entry that a CE listing can show: valid UTF-8, under 260 units, and free of
// the characters a CE name cannot hold.
bool isListableName(const std::string& name, std::u16string& utf16);

} // namespace orv::rapi

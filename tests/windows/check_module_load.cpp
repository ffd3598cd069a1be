// Loads a plug-in module the way the host does on Windows: first as data, to read the plug-in
// property list (resource "PiPL" 16000) and the name of the 64-bit Windows entry point in it,
// then as code, to call that entry point with a stand-in for the host's basic suite.
//
//   cellkit-load-check MODULE PIPL
//
// PIPL is the file the generator wrote: the resource must hold exactly its bytes. The stand-in
// hands out the workspace panel suite and refuses every other suite, so the plug-in must stop
// starting, give the panel suite back, answer 0 and leave the global reference unset. Exit code
// 0 when all of that held; otherwise one line saying what did not.

#include "host/aegp.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<std::uint8_t>;

int fail(const std::string &what)
{
    std::printf("cellkit-load-check: %s\n", what.c_str());
    return 1;
}

std::string narrow(const wchar_t *text)
{
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1)
        WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
    return out;
}

bool readFile(const wchar_t *path, Bytes *bytes)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    bytes->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return true;
}

bool resourceBytes(HMODULE module, Bytes *bytes)
{
    HRSRC found = FindResourceW(module, MAKEINTRESOURCEW(16000), L"PiPL");
    HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto *data = loaded ? static_cast<const std::uint8_t *>(LockResource(loaded)) : nullptr;
    if (!data)
        return false;
    bytes->assign(data, data + SizeofResource(module, found));
    return true;
}

std::uint32_t word32(const Bytes &b, std::size_t at)
{
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

// A four-character code, stored with its bytes reversed.
std::string codeAt(const Bytes &b, std::size_t at)
{
    std::string code(b.begin() + long(at), b.begin() + long(at + 4));
    std::reverse(code.begin(), code.end());
    return code;
}

// The value of property `key` (e.g. "8664") of vendor "8BIM". Layout: 2 reserved bytes, a
// 32-bit version, a 32-bit count, then per property vendor, key, a 32-bit 0, a 32-bit length
// and the value; numbers little-endian.
bool propertyValue(const Bytes &list, const char *key, Bytes *value)
{
    if (list.size() < 10)
        return false;
    const std::uint32_t count = word32(list, 6);
    std::size_t at = 10;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (list.size() - at < 16)
            return false;
        const std::uint32_t length = word32(list, at + 12);
        if (list.size() - at - 16 < length)
            return false;
        if (codeAt(list, at) == "8BIM" && codeAt(list, at + 4) == key) {
            value->assign(list.begin() + long(at + 16), list.begin() + long(at + 16 + length));
            return true;
        }
        at += 16 + length;
    }
    return false;
}

// The host's basic suite: the workspace panel suite is there, nothing else is.
struct SuiteLog
{
    std::vector<std::string> acquired, refused, released;
};
SuiteLog g_suites;
const AEGP_PanelSuite1 g_panelSuite{};

SPErr acquireSuite(const char *name, int, const void **suite)
{
    if (std::strcmp(name, kAEGPWorkspacePanelSuite) == 0) {
        g_suites.acquired.push_back(name);
        *suite = &g_panelSuite;
        return 0;
    }
    g_suites.refused.push_back(name);
    *suite = nullptr;
    return 1;
}

SPErr releaseSuite(const char *name, int)
{
    g_suites.released.push_back(name);
    return 0;
}

std::string joined(const std::vector<std::string> &names)
{
    std::string out;
    for (const std::string &n : names)
        out += (out.empty() ? "" : ", ") + n;
    return out.empty() ? "none" : out;
}

// Reads and checks the property list; the entry point's name on success.
int readPropertyList(const wchar_t *modulePath, const wchar_t *piplPath, std::string *entryName)
{
    HMODULE data = LoadLibraryExW(modulePath, nullptr,
                                  LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!data)
        return fail("cannot open " + narrow(modulePath) + " as data");
    Bytes resource, expected;
    const bool found = resourceBytes(data, &resource);
    FreeLibrary(data);
    if (!found)
        return fail("no resource PiPL 16000 in " + narrow(modulePath));
    if (!readFile(piplPath, &expected))
        return fail("cannot read " + narrow(piplPath));
    if (resource != expected) {
        std::size_t at = 0;
        while (at < resource.size() && at < expected.size() && resource[at] == expected[at])
            ++at;
        return fail("the resource (" + std::to_string(resource.size()) + " bytes) differs from " +
                    narrow(piplPath) + " (" + std::to_string(expected.size()) +
                    " bytes) from byte " + std::to_string(at));
    }
    Bytes name;
    if (!propertyValue(resource, "8664", &name) || name.empty() || name.back() != 0 ||
        std::strlen(reinterpret_cast<const char *>(name.data())) == 0)
        return fail("no entry point for 64-bit Windows (property 8664) in the property list");
    *entryName = reinterpret_cast<const char *>(name.data());
    return 0;
}

int callEntryPoint(const wchar_t *modulePath, const std::string &entryName)
{
    HMODULE module = LoadLibraryW(modulePath);
    if (!module)
        return fail("cannot load " + narrow(modulePath) + " (error " +
                    std::to_string(GetLastError()) + ")");
    // Through void *: a FARPROC takes no arguments, the entry point does.
    const auto entry = reinterpret_cast<AEGP_EntryPointFunc>(
        reinterpret_cast<void *>(GetProcAddress(module, entryName.c_str())));
    if (!entry)
        return fail(narrow(modulePath) + " exports no " + entryName);
    SPBasicSuite basic{&acquireSuite, &releaseSuite};
    AEGP_GlobalRefcon global = nullptr;
    const A_Err err = entry(&basic, 23, 0, 7, &global);
    FreeLibrary(module);

    std::printf("%s answered %d; suites acquired: %s; refused: %s; released: %s\n",
                entryName.c_str(), int(err), joined(g_suites.acquired).c_str(),
                joined(g_suites.refused).c_str(), joined(g_suites.released).c_str());
    if (err != A_Err_NONE)
        return fail(entryName + " answered " + std::to_string(err) + ", not 0");
    if (global)
        return fail("the global reference was set although a suite was refused");
    if (g_suites.acquired.empty() || g_suites.refused.empty())
        return fail("the plug-in asked for no suite or was refused none");
    if (g_suites.released != g_suites.acquired)
        return fail("the plug-in did not give back exactly the suites it took");
    return 0;
}

} // namespace

int wmain(int argc, wchar_t **argv)
{
    if (argc != 3)
        return fail("usage: cellkit-load-check MODULE PIPL");
    std::string entryName;
    if (int failed = readPropertyList(argv[1], argv[2], &entryName))
        return failed;
    std::printf("resource PiPL 16000 as generated; entry point for 64-bit Windows: %s\n",
                entryName.c_str());
    return callEntryPoint(argv[1], entryName);
}

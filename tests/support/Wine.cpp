#include "Wine.h"

#include <windows.h>

namespace TestSupport {

namespace {

using WineGetVersion = const char*(__cdecl*)();

WineGetVersion WineVersionFunction() {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    if (ntdll == nullptr) {
        return nullptr;
    }
    return reinterpret_cast<WineGetVersion>(
        reinterpret_cast<void*>(GetProcAddress(ntdll, "wine_get_version")));
}

} // namespace

bool RunningUnderWine() {
    return WineVersionFunction() != nullptr;
}

std::string WineVersion() {
    const WineGetVersion version = WineVersionFunction();
    return version != nullptr ? version() : "";
}

} // namespace TestSupport

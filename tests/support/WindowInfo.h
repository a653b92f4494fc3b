#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace TestSupport {

std::wstring WindowClassName(HWND window);
std::wstring WindowText(HWND window);
LONG_PTR StyleOf(HWND window);
LONG_PTR ExStyleOf(HWND window);
// Client area size; {0, 0} for a null or destroyed window.
SIZE ClientSize(HWND window);
// Every descendant of a window (children, their children...), in EnumChildWindows order.
std::vector<HWND> EnumerateChildWindows(HWND parent);
// The top-level windows of this process, visible or not, in z-order.
std::vector<HWND> EnumerateTopLevelWindows();
// Latin-1 text to wide, byte by byte; wide to Latin-1, low 8 bits of each character.
std::wstring Widen(const std::string& text);
std::string Narrow(const std::wstring& text);

} // namespace TestSupport

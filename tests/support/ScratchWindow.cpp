#include "ScratchWindow.h"

namespace TestSupport {

namespace {

const wchar_t* const ScratchClass = L"OndrelTestScratchWindow";

void RegisterScratchClass(HINSTANCE instance) {
    WNDCLASSEXW windowClass = {};
    windowClass.cbSize = sizeof(windowClass);
    if (GetClassInfoExW(instance, ScratchClass, &windowClass)) {
        return;
    }
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    windowClass.lpszClassName = ScratchClass;
    RegisterClassExW(&windowClass);
}

} // namespace

ScratchWindow::ScratchWindow(int clientWidth, int clientHeight, DWORD style) {
    HINSTANCE instance = GetModuleHandleW(nullptr);
    RegisterScratchClass(instance);
    RECT frame = {0, 0, clientWidth, clientHeight};
    AdjustWindowRectEx(&frame, style, FALSE, 0);
    window = CreateWindowExW(0, ScratchClass, L"Scratch", style, 20, 20, frame.right - frame.left,
                             frame.bottom - frame.top, nullptr, nullptr, instance, nullptr);
    if (window != nullptr) {
        UpdateWindow(window);
    }
}

ScratchWindow::~ScratchWindow() {
    if (window != nullptr && IsWindow(window)) {
        DestroyWindow(window);
    }
}

} // namespace TestSupport

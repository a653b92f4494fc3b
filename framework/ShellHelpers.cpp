#include "framework/ShellHelpers.h"

#include "framework/TextHelpers.h"

#include <windows.h>
#include <shellapi.h>

#include <utility>

namespace VelkUtility {

bool OpenDocument(std::string target) {
    const std::wstring wideTarget = ToWide(std::move(target));
    HINSTANCE result =
        ShellExecuteW(nullptr, L"open", wideTarget.c_str(), nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(result) > 32;
}

bool AskYesNo(std::string text, std::string caption) {
    return MessageBoxA(nullptr, text.c_str(), caption.c_str(),
                       MB_YESNO | MB_ICONQUESTION | MB_TASKMODAL) == IDYES;
}

} // namespace VelkUtility

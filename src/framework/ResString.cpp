#include "framework/ResString.h"

namespace fw {

HINSTANCE ResourceModule() {
    return ::GetModuleHandleA(nullptr);
}

std::string ResString(UINT id) {
    // With a zero buffer size LoadStringW hands out a pointer into the resource itself.
    const wchar_t* text = nullptr;
    const int length = ::LoadStringW(ResourceModule(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return {};
    const int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<std::size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, length, result.data(), bytes, nullptr, nullptr);
    return result;
}

}  // namespace fw

#pragma once

#include <windows.h>

#include <cstring>
#include <cwctype>
#include <optional>
#include <string>
#include <vector>

namespace testing_support {

// A DIALOGEX template as the resource holds it, for checking styles, sizes, fonts and controls.
struct DialogItem {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0;
    std::wstring className;  // upper case; a predefined class's atom as its name (BUTTON, ...)
    std::wstring text;
};

struct DialogTemplate {
    DWORD style = 0;
    DWORD exStyle = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    std::wstring title;
    WORD pointSize = 0;
    std::wstring font;
    std::vector<DialogItem> items;
};

class TemplateReader {
  public:
    explicit TemplateReader(const BYTE* data) : m_p(data) {}

    template <class T>
    T Take() {
        T value{};
        std::memcpy(&value, m_p, sizeof(T));
        m_p += sizeof(T);
        return value;
    }
    std::wstring String() {
        std::wstring text;
        for (wchar_t c = Take<wchar_t>(); c; c = Take<wchar_t>())
            text += c;
        return text;
    }
    // A string, or an ordinal written as "#number".
    std::wstring StringOrOrdinal() {
        wchar_t first{};
        std::memcpy(&first, m_p, sizeof(first));
        if (first == 0xFFFF) {
            Take<WORD>();
            return L"#" + std::to_wstring(Take<WORD>());
        }
        return String();
    }
    void AlignToDword(const BYTE* base) {
        while ((m_p - base) % 4)
            ++m_p;
    }
    const BYTE* Position() const { return m_p; }

  private:
    const BYTE* m_p;
};

// Resource compilers write a predefined class either as its atom or as its name.
inline std::wstring ClassName(std::wstring name) {
    static const wchar_t* const kPredefined[] = {L"BUTTON",  L"EDIT",      L"STATIC",
                                                 L"LISTBOX", L"SCROLLBAR", L"COMBOBOX"};
    for (int atom = 0x80; atom <= 0x85; ++atom) {
        if (name == L"#" + std::to_wstring(atom)) return kPredefined[atom - 0x80];
    }
    for (wchar_t& c : name)
        c = static_cast<wchar_t>(::towupper(c));
    return name;
}

inline std::optional<DialogTemplate> LoadDialogTemplate(UINT id) {
    HMODULE module = ::GetModuleHandleA(nullptr);
    HRSRC resource = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(5));
    if (!resource) return std::nullopt;
    const auto* base = static_cast<const BYTE*>(::LockResource(::LoadResource(module, resource)));
    TemplateReader r(base);
    DialogTemplate t;
    if (r.Take<WORD>() != 1 || r.Take<WORD>() != 0xFFFF) return std::nullopt;  // not DIALOGEX
    r.Take<DWORD>();
    t.exStyle = r.Take<DWORD>();
    t.style = r.Take<DWORD>();
    const WORD count = r.Take<WORD>();
    t.x = r.Take<short>();
    t.y = r.Take<short>();
    t.cx = r.Take<short>();
    t.cy = r.Take<short>();
    r.StringOrOrdinal();  // menu
    r.StringOrOrdinal();  // class
    t.title = r.String();
    if (t.style & (DS_SETFONT | DS_SHELLFONT)) {
        t.pointSize = r.Take<WORD>();
        r.Take<WORD>();
        r.Take<BYTE>();
        r.Take<BYTE>();
        t.font = r.String();
    }
    for (WORD i = 0; i < count; ++i) {
        r.AlignToDword(base);
        DialogItem item;
        r.Take<DWORD>();
        item.exStyle = r.Take<DWORD>();
        item.style = r.Take<DWORD>();
        item.x = r.Take<short>();
        item.y = r.Take<short>();
        item.cx = r.Take<short>();
        item.cy = r.Take<short>();
        item.id = r.Take<DWORD>();
        item.className = ClassName(r.StringOrOrdinal());
        item.text = r.StringOrOrdinal();
        const WORD extra = r.Take<WORD>();
        for (WORD b = 0; b < extra; ++b)
            r.Take<BYTE>();
        t.items.push_back(item);
    }
    return t;
}

}  // namespace testing_support

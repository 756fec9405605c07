#include "sim/SimServices.h"

#include <utility>

#include "framework/ResString.h"
#include "res/resource.h"

namespace sim {

LONG SimRegistry::CreateKey(HKEY parent, const char* subKey, const char* keyClass, DWORD options,
                            REGSAM access, HKEY* result, DWORD* disposition) {
    ++m_calls;
    creates.push_back({parent, subKey ? subKey : "", keyClass ? keyClass : "", options, access});
    if (failCreate) return ERROR_ACCESS_DENIED;
    const LONG status =
        m_real.CreateKey(parent, subKey, keyClass, options, access, result, disposition);
    if (status == ERROR_SUCCESS) m_open.insert(*result);
    return status;
}

LONG SimRegistry::QueryValue(HKEY key, const char* name, DWORD* type, BYTE* data, DWORD* size) {
    ++m_calls;
    if (queryError != ERROR_SUCCESS) return queryError;
    return m_real.QueryValue(key, name, type, data, size);
}

LONG SimRegistry::SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
    ++m_calls;
    if (setError != ERROR_SUCCESS) return setError;
    return m_real.SetValue(key, name, type, data, size);
}

LONG SimRegistry::CloseKey(HKEY key) {
    ++m_calls;
    if (m_open.erase(key) == 0) {
        ++m_badCloses;
        return ERROR_INVALID_HANDLE;
    }
    return m_real.CloseKey(key);
}

namespace {

int FirstButton(UINT type) {
    switch (type & MB_TYPEMASK) {
        case MB_YESNO:
        case MB_YESNOCANCEL:
            return IDYES;
        case MB_RETRYCANCEL:
            return IDRETRY;
        case MB_ABORTRETRYIGNORE:
            return IDABORT;
        default:
            return IDOK;
    }
}

// The program's own WAVE resource whose image lies at this address.
std::string MemorySoundName(const void* image) {
    HMODULE module = fw::ResourceModule();
    for (UINT id = IDW_TONE_FRONT_LEFT; id <= IDW_SILENCE; ++id) {
        HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), "WAVE");
        HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
        if (loaded && ::LockResource(loaded) == image) return "#" + std::to_string(id);
    }
    return "<memory>";
}

std::string SoundName(const char* sound, DWORD flags) {
    if (!sound) return {};
    // With SND_MEMORY the pointer is a whole WAVE image, not a name (SND_RESOURCE shares its bit).
    if ((flags & SND_RESOURCE) == SND_MEMORY) return MemorySoundName(sound);
    if (IS_INTRESOURCE(sound)) return "#" + std::to_string(reinterpret_cast<std::uintptr_t>(sound));
    return sound;
}

}  // namespace

int SimPrompts::MessageBox(HWND owner, const char* text, const char* caption, UINT type) {
    Prompt prompt{owner, text ? text : "", std::nullopt, type};
    if (caption) prompt.caption = caption;
    shown.push_back(std::move(prompt));
    const std::size_t index = shown.size() - 1;
    if (whileOpen) {
        const std::function<void()> during = std::exchange(whileOpen, nullptr);
        m_open.push_back(index);
        during();
        m_open.pop_back();
        // A box goes with its owner window.
        if (owner && !::IsWindow(owner)) shown[index].ended = true;
    }
    if (shown[index].ended) return 0;
    if (answers.empty()) return FirstButton(type);
    const int answer = answers.front();
    answers.pop_front();
    return answer;
}

// A box opened for a child window belongs to that window's top-level window.
void SimPrompts::EndBoxes(HWND owner) {
    for (const std::size_t index : m_open) {
        Prompt& prompt = shown[index];
        HWND root = prompt.owner ? ::GetAncestor(prompt.owner, GA_ROOT) : nullptr;
        if (owner && (prompt.owner == owner || root == owner)) prompt.ended = true;
    }
}

void SimSound::Record(PlayedSound call) {
    if (played.size() >= kLogLimit) {
        played.erase(played.begin(), played.begin() + static_cast<std::ptrdiff_t>(kLogLimit / 2));
    }
    played.push_back(std::move(call));
    ++total;
    if (onPlayed) onPlayed();
}

BOOL SimSound::PlaySound(const char* sound, HMODULE module, DWORD flags) {
    Record({SoundName(sound, flags), module, flags, false});
    if (passOn) passOn->PlaySound(sound, module, flags);
    return !fail;
}

BOOL SimSound::SndPlaySound(const char* sound, UINT flags) {
    Record({SoundName(sound, flags), nullptr, flags, true});
    if (passOn) passOn->SndPlaySound(sound, flags);
    return !fail;
}

void SimSystem::Sleep(DWORD milliseconds) {
    sleeps.push_back(milliseconds);
    now += milliseconds;
    if (onSleep) onSleep(milliseconds);
}

}  // namespace sim

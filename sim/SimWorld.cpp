#include "sim/SimWorld.h"

namespace sim {

void SimWorld::SetPlugged(bool plugged) {
    m_plugged = plugged;
    Changed();
}

void SimWorld::FailEveryOpen(bool fail) {
    m_failOpens = fail;
    Changed();
}

void SimWorld::FailRequest(DWORD code, bool fail) {
    if (fail) {
        m_failingCodes.insert(code);
    } else {
        m_failingCodes.erase(code);
    }
    Changed();
}

void SimWorld::ClearLogs() {
    m_opens.clear();
    m_requests.clear();
    Changed();
}

void SimWorld::Changed() const {
    if (m_observer) m_observer();
}

HANDLE SimWorld::Open(const char* path, DWORD access, DWORD share, DWORD disposition, DWORD flags) {
    const bool isDriver = path && ::lstrcmpiA(path, device::kDevicePath) == 0;
    const bool ok = isDriver && m_plugged && !m_failOpens;
    m_opens.push_back({path ? path : "", access, share, disposition, flags, ok});
    if (!ok) {
        ::SetLastError(ERROR_FILE_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }
    auto handle = reinterpret_cast<HANDLE>(m_nextHandle);
    m_nextHandle += 4;
    m_handles[handle] = Target::Driver;
    return handle;
}

BOOL SimWorld::Control(HANDLE device, DWORD code, const void* in, DWORD inSize, void* out,
                       DWORD outSize, DWORD* returned) {
    if (returned) *returned = 0;
    if (m_handles.count(device) == 0) {
        ::SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    const auto* bytes = static_cast<const std::uint8_t*>(in);
    DriverRequest request{code, {}, false};
    if (bytes) request.input.assign(bytes, bytes + inSize);

    bool injected = m_failingCodes.count(code) != 0;
    if (m_failNext > 0) {
        --m_failNext;
        injected = true;
    }
    request.succeeded =
        !injected && m_plugged && driver.Handle(code, in, inSize, out, outSize, returned);
    m_requests.push_back(std::move(request));
    Changed();
    if (!m_requests.back().succeeded) {
        ::SetLastError(ERROR_GEN_FAILURE);
        return FALSE;
    }
    return TRUE;
}

BOOL SimWorld::Close(HANDLE device) {
    if (m_handles.erase(device) == 0) {
        ++m_badCloses;
        ::SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

}  // namespace sim

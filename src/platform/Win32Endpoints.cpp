#include <windows.h>
#include <mmdeviceapi.h>
#include <endpointvolume.h>

#include <atomic>
#include <string>

#include "platform/Win32Seams.h"

namespace platform {
namespace {

// Owns one reference to a COM object.
template <class T>
class ComRef {
  public:
    ComRef() = default;
    explicit ComRef(T* object) : m_object(object) {}
    ~ComRef() { Reset(); }
    ComRef(ComRef&& other) noexcept : m_object(other.m_object) { other.m_object = nullptr; }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef& operator=(ComRef&&) = delete;

    void Reset() {
        if (m_object) m_object->Release();
        m_object = nullptr;
    }
    T** Out() {
        Reset();
        return &m_object;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    T* Get() const { return m_object; }
    T* operator->() const { return m_object; }
    explicit operator bool() const { return m_object != nullptr; }

  private:
    T* m_object = nullptr;
};

// The few ole32 functions the enumerator needs, loaded once. ole32 is a known system library, so
// the name alone loads the system's copy.
struct Ole32 {
    using InitFn = HRESULT(WINAPI*)(void*, DWORD);
    using CreateFn = HRESULT(WINAPI*)(REFCLSID, IUnknown*, DWORD, REFIID, void**);
    using ClearFn = HRESULT(WINAPI*)(PROPVARIANT*);
    CreateFn create = nullptr;
    ClearFn clear = nullptr;
    bool ready = false;
};

template <class Fn>
Fn Function(HMODULE module, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void (*)()>(::GetProcAddress(module, name)));
}

const Ole32& LoadOle32() {
    static const Ole32 ole = [] {
        Ole32 loaded;
        HMODULE module = ::LoadLibraryA("ole32.dll");
        if (!module) return loaded;
        const auto init = Function<Ole32::InitFn>(module, "CoInitializeEx");
        loaded.create = Function<Ole32::CreateFn>(module, "CoCreateInstance");
        loaded.clear = Function<Ole32::ClearFn>(module, "PropVariantClear");
        // The user-interface thread joins a single-threaded apartment for the rest of the
        // process; a thread already in the other kind of apartment can use COM as it is.
        const HRESULT joined = init ? init(nullptr, COINIT_APARTMENTTHREADED) : E_FAIL;
        loaded.ready =
            loaded.create && loaded.clear && (SUCCEEDED(joined) || joined == RPC_E_CHANGED_MODE);
        return loaded;
    }();
    return ole;
}

// PKEY_Device_FriendlyName.
constexpr PROPERTYKEY kFriendlyName{
    {0xa45c254e, 0xdf1c, 0x4efd, {0x80, 0x20, 0x67, 0xd1, 0x46, 0xa8, 0x50, 0xe0}}, 14};

std::string FriendlyName(IMMDevice& device, const Ole32& ole) {
    ComRef<IPropertyStore> store;
    if (FAILED(device.OpenPropertyStore(STGM_READ, store.Out()))) return {};
    PROPVARIANT value;
    PropVariantInit(&value);
    std::string name;
    if (SUCCEEDED(store->GetValue(kFriendlyName, &value)) && value.vt == VT_LPWSTR &&
        value.pwszVal) {
        char text[256] = "";
        if (::WideCharToMultiByte(CP_ACP, 0, value.pwszVal, -1, text, sizeof(text), nullptr,
                                  nullptr) > 0) {
            name = text;
        }
    }
    ole.clear(&value);
    return name;
}

// A COM object ends through Release, never through a pointer to its interface, so the
// interface's destructor need not be virtual.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wnon-virtual-dtor"

// Core Audio calls this on a thread of its own. It only posts; the window re-reads on its own
// thread. After Stop it posts nothing, also while a call is still under way on that thread.
class VolumeCallback final : public IAudioEndpointVolumeCallback {
  public:
    VolumeCallback(HWND notify, WPARAM wParam, LPARAM lParam)
        : m_notify(notify), m_wParam(wParam), m_lParam(lParam) {}

    void Stop() { m_active = false; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override {
        if (!object) return E_POINTER;
        if (id == __uuidof(IUnknown) || id == __uuidof(IAudioEndpointVolumeCallback)) {
            *object = static_cast<IAudioEndpointVolumeCallback*>(this);
            AddRef();
            return S_OK;
        }
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++m_references; }
    ULONG STDMETHODCALLTYPE Release() override {
        const ULONG left = --m_references;
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE OnNotify(PAUDIO_VOLUME_NOTIFICATION_DATA) override {
        if (m_active) ::PostMessageA(m_notify, MM_MIXM_CONTROL_CHANGE, m_wParam, m_lParam);
        return S_OK;
    }

  private:
    ~VolumeCallback() = default;

    std::atomic<ULONG> m_references{1};
    std::atomic<bool> m_active{true};
    HWND m_notify;
    WPARAM m_wParam;
    LPARAM m_lParam;
};

#pragma GCC diagnostic pop

class Win32EndpointVolume final : public IEndpointVolume {
  public:
    Win32EndpointVolume(ComRef<IAudioEndpointVolume> volume, ComRef<VolumeCallback> callback)
        : m_volume(std::move(volume)), m_callback(std::move(callback)) {}
    ~Win32EndpointVolume() override {
        m_callback->Stop();
        m_volume->UnregisterControlChangeNotify(m_callback.Get());
    }
    Win32EndpointVolume(const Win32EndpointVolume&) = delete;
    Win32EndpointVolume& operator=(const Win32EndpointVolume&) = delete;

    HRESULT GetChannelCount(UINT* count) override { return m_volume->GetChannelCount(count); }
    HRESULT GetMasterScalar(float* level) override {
        return m_volume->GetMasterVolumeLevelScalar(level);
    }
    HRESULT SetMasterScalar(float level) override {
        return m_volume->SetMasterVolumeLevelScalar(level, nullptr);
    }
    HRESULT GetChannelScalar(UINT channel, float* level) override {
        return m_volume->GetChannelVolumeLevelScalar(channel, level);
    }
    HRESULT SetChannelScalar(UINT channel, float level) override {
        return m_volume->SetChannelVolumeLevelScalar(channel, level, nullptr);
    }
    HRESULT GetMute(BOOL* muted) override { return m_volume->GetMute(muted); }
    HRESULT SetMute(BOOL muted) override { return m_volume->SetMute(muted, nullptr); }

  private:
    ComRef<IAudioEndpointVolume> m_volume;
    ComRef<VolumeCallback> m_callback;
};

std::unique_ptr<IEndpointVolume> Activate(IMMDevice& device, HWND notify, WPARAM wParam,
                                          LPARAM lParam) {
    ComRef<IAudioEndpointVolume> volume;
    if (FAILED(device.Activate(__uuidof(IAudioEndpointVolume), CLSCTX_INPROC_SERVER, nullptr,
                               volume.OutVoid()))) {
        return nullptr;
    }
    ComRef<VolumeCallback> callback(new VolumeCallback(notify, wParam, lParam));
    if (FAILED(volume->RegisterControlChangeNotify(callback.Get()))) return nullptr;
    return std::make_unique<Win32EndpointVolume>(std::move(volume), std::move(callback));
}

}  // namespace

std::unique_ptr<IEndpointVolume> Win32AudioEndpoints::Open(bool capture, const char* mixerName,
                                                           HWND notify, WPARAM wParam,
                                                           LPARAM lParam) {
    const Ole32& ole = LoadOle32();
    if (!ole.ready) return nullptr;
    ComRef<IMMDeviceEnumerator> enumerator;
    if (FAILED(ole.create(__uuidof(MMDeviceEnumerator), nullptr, CLSCTX_INPROC_SERVER,
                          __uuidof(IMMDeviceEnumerator), enumerator.OutVoid()))) {
        return nullptr;
    }
    ComRef<IMMDeviceCollection> devices;
    if (FAILED(enumerator->EnumAudioEndpoints(capture ? eCapture : eRender, DEVICE_STATE_ACTIVE,
                                              devices.Out()))) {
        return nullptr;
    }
    UINT count = 0;
    if (FAILED(devices->GetCount(&count))) return nullptr;
    for (UINT i = 0; i < count; ++i) {
        ComRef<IMMDevice> device;
        if (FAILED(devices->Item(i, device.Out()))) continue;
        if (EndpointNameMatches(FriendlyName(*device.Get(), ole).c_str(), mixerName)) {
            return Activate(*device.Get(), notify, wParam, lParam);
        }
    }
    return nullptr;
}

}  // namespace platform

#include "sim/SimEndpoints.h"

#include <audioclient.h>

#include <algorithm>
#include <thread>

namespace sim {

// One endpoint volume as the program holds it: it answers for its endpoint while that endpoint is
// present and the same one it was opened on.
class SimEndpoints::Volume final : public platform::IEndpointVolume {
  public:
    Volume(SimEndpoints& owner, std::size_t endpoint, int registration)
        : m_owner(owner),
          m_endpoint(endpoint),
          m_generation(owner.endpoints[endpoint].generation),
          m_layout(owner.m_layout),
          m_registration(registration) {
        ++m_owner.m_openVolumes;
    }
    ~Volume() override {
        m_owner.m_registrations.erase(m_registration);
        --m_owner.m_openVolumes;
    }
    Volume(const Volume&) = delete;
    Volume& operator=(const Volume&) = delete;

    HRESULT GetChannelCount(UINT* count) override {
        return Answer(&SimEndpointFaults::channelCount, [&](SimEndpoint& e) {
            *count = static_cast<UINT>(e.levels.size());
            return S_OK;
        });
    }
    HRESULT GetMasterScalar(float* level) override {
        return Answer(&SimEndpointFaults::getMaster, [&](SimEndpoint&) {
            *level = m_owner.Master(m_endpoint);
            return S_OK;
        });
    }
    HRESULT SetMasterScalar(float level) override {
        return Change(&SimEndpointFaults::setMaster, level, [&](SimEndpoint& e) {
            const float master = m_owner.Master(m_endpoint);
            for (float& channel : e.levels)
                channel = master > 0.0f ? channel * level / master : level;
            return S_OK;
        });
    }
    HRESULT GetChannelScalar(UINT channel, float* level) override {
        return Answer(&SimEndpointFaults::getChannel, [&](SimEndpoint& e) {
            if (channel >= e.levels.size()) return E_INVALIDARG;
            *level = e.levels[channel];
            return S_OK;
        });
    }
    HRESULT SetChannelScalar(UINT channel, float level) override {
        return Change(&SimEndpointFaults::setChannel, level, [&](SimEndpoint& e) {
            if (channel >= e.levels.size()) return E_INVALIDARG;
            e.levels[channel] = level;
            return S_OK;
        });
    }
    HRESULT GetMute(BOOL* muted) override {
        return Answer(&SimEndpointFaults::getMute, [&](SimEndpoint& e) {
            *muted = e.muted ? TRUE : FALSE;
            return S_OK;
        });
    }
    HRESULT SetMute(BOOL muted) override {
        return Change(&SimEndpointFaults::setMute, 0.0f, [&](SimEndpoint& e) {
            e.muted = muted != FALSE;
            return S_OK;
        });
    }

  private:
    template <class Action>
    HRESULT Answer(HRESULT SimEndpointFaults::*fault, Action action) {
        if (m_layout != m_owner.m_layout) return AUDCLNT_E_DEVICE_INVALIDATED;
        SimEndpoint& endpoint = m_owner.endpoints[m_endpoint];
        if (!endpoint.present || endpoint.generation != m_generation) {
            return AUDCLNT_E_DEVICE_INVALIDATED;
        }
        if (FAILED(endpoint.faults.*fault)) return endpoint.faults.*fault;
        return action(endpoint);
    }
    template <class Action>
    HRESULT Change(HRESULT SimEndpointFaults::*fault, float level, Action action) {
        if (!(level >= 0.0f && level <= 1.0f)) return E_INVALIDARG;
        const HRESULT result = Answer(fault, action);
        if (SUCCEEDED(result)) {
            ++m_owner.m_writes;
            m_owner.Notify(m_endpoint);
        }
        return result;
    }

    SimEndpoints& m_owner;
    std::size_t m_endpoint;
    int m_generation;
    int m_layout;
    int m_registration;
};

SimEndpoints::SimEndpoints() = default;
SimEndpoints::~SimEndpoints() = default;

void SimEndpoints::Replace(std::vector<SimEndpoint> list) {
    endpoints = std::move(list);
    ++m_layout;
}

float SimEndpoints::Master(std::size_t endpoint) const {
    const std::vector<float>& levels = endpoints[endpoint].levels;
    return levels.empty() ? 0.0f : *std::max_element(levels.begin(), levels.end());
}

void SimEndpoints::SetLevels(std::size_t endpoint, std::vector<float> levels) {
    endpoints[endpoint].levels = std::move(levels);
    Notify(endpoint);
}

void SimEndpoints::SetMuted(std::size_t endpoint, bool muted) {
    endpoints[endpoint].muted = muted;
    Notify(endpoint);
}

void SimEndpoints::SetAdapterPresent(bool present) {
    for (SimEndpoint& endpoint : endpoints) {
        if (!endpoint.adapters || endpoint.present == present) continue;
        endpoint.present = present;
        if (!present) ++endpoint.generation;
    }
}

std::unique_ptr<platform::IEndpointVolume> SimEndpoints::Open(bool capture, const char* mixerName,
                                                              HWND notify, WPARAM wParam,
                                                              LPARAM lParam) {
    if (unavailable) return nullptr;
    for (std::size_t i = 0; i < endpoints.size(); ++i) {
        const SimEndpoint& endpoint = endpoints[i];
        if (!endpoint.present || endpoint.capture != capture ||
            !platform::EndpointNameMatches(endpoint.name.c_str(), mixerName)) {
            continue;
        }
        const int registration = m_nextRegistration++;
        m_registrations.emplace(registration, Registration{m_layout, i, notify, wParam, lParam});
        return std::make_unique<Volume>(*this, i, registration);
    }
    return nullptr;
}

// Core Audio's callbacks run on a thread of its own; this one posts from a thread of its own too,
// and waits for it, so that a test sees every notification queued when the change returns.
void SimEndpoints::Notify(std::size_t endpoint) {
    if (onChange) onChange();
    std::vector<Registration> targets;
    for (const auto& [id, registration] : m_registrations) {
        if (registration.layout == m_layout && registration.endpoint == endpoint) {
            targets.push_back(registration);
        }
    }
    if (targets.empty()) return;
    std::thread poster([&targets] {
        for (const Registration& target : targets) {
            ::PostMessageA(target.window, MM_MIXM_CONTROL_CHANGE, target.wParam, target.lParam);
        }
    });
    poster.join();
}

}  // namespace sim

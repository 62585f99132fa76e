#pragma once
// Internal to platform/mfc: which object stands for a handle. Permanent entries are objects that
// own or were attached to their handle; temporary entries wrap handles nobody here owns and are
// deleted (without touching the handle) when the program is idle.

#include <functional>
#include <map>
#include <memory>
#include <vector>

// Deletes the temporaries of every map (each map registers itself on first use).
void DeleteAllTemporaries();
void RegisterTemporaryCleaner(std::function<void()> cleaner);

template<typename Handle, typename Object>
class HandleMap {
public:
    using Factory = Object* (*)(Handle);
    using Release = void (*)(Object*);

    HandleMap(Factory factory, Release release)
        : m_factory(factory)
        , m_release(release)
    {
        RegisterTemporaryCleaner([this] { DeleteTemporaries(); });
    }
    ~HandleMap() { DeleteTemporaries(); }

    Object* Permanent(Handle handle) const
    {
        auto it = m_permanent.find(handle);
        return it == m_permanent.end() ? nullptr : it->second;
    }
    void SetPermanent(Handle handle, Object* object) { m_permanent[handle] = object; }
    void RemovePermanent(Handle handle) { m_permanent.erase(handle); }

    Object* FromHandle(Handle handle)
    {
        if (!handle)
            return nullptr;
        if (Object* object = Permanent(handle))
            return object;
        auto& temporary = m_temporary[handle];
        if (!temporary)
            temporary = m_factory(handle);
        return temporary;
    }

    void DeleteTemporaries()
    {
        auto temporaries = std::move(m_temporary);
        m_temporary.clear();
        for (auto& [handle, object] : temporaries) {
            m_release(object);
            delete object;
        }
    }

private:
    Factory m_factory;
    Release m_release;
    std::map<Handle, Object*> m_permanent;
    std::map<Handle, Object*> m_temporary;
};

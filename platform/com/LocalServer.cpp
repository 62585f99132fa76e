#include "platform/com/LocalServer.h"

#include "platform/base/CString.h"
#include "platform/com/AutomationObject.h"
#include "platform/com/AutomationTarget.h"
#include "platform/com/BusInvocation.h"
#include "platform/com/BusNames.h"
#include "platform/com/BusVariant.h"
#include "platform/com/ClassRegistry.h"
#include "platform/com/DispatchProxy.h"
#include "platform/com/SessionBusLibrary.h"
#include "platform/sys/WaitSources.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cstring>
#include <functional>
#include <malloc.h>
#include <map>
#include <memory>
#include <string>
#include <span>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <utility>
#include <vector>

namespace {

// Whether the messages at the start of `bytes`, in the bus's wire format, include a method call.
bool HoldsMethodCall(std::span<const uint8_t> bytes)
{
    // Byte order, type, flags, version, then the body's length, the serial and the header fields' length.
    constexpr size_t kFixedHeader = 16;
    for (size_t at = 0; at + kFixedHeader <= bytes.size();) {
        if (bytes[at + 1] == SD_BUS_MESSAGE_METHOD_CALL)
            return true;
        const bool swapped = (bytes[at] == 'l') != (std::endian::native == std::endian::little);
        auto word = [&](size_t offset) {
            uint32_t value;
            std::memcpy(&value, bytes.data() + at + offset, sizeof value);
            return static_cast<size_t>(swapped ? __builtin_bswap32(value) : value);
        };
        const size_t header = (kFixedHeader + word(12) + 7) & ~size_t(7);
        at += header + word(4);
    }
    return false;
}

constexpr const char* kIntrospectableInterface = "org.freedesktop.DBus.Introspectable";

// A call this large leaves enough freed memory behind, its message's and its decoded arguments', to
// hand back to the system once it is done: the allocator would keep much of it.
constexpr size_t kLargeCallBytes = 1 << 20;

// A connection on the bus that holds objects, watched once whatever it holds: the bus allows a
// connection a bounded number of match rules, and a watch per object would use them up.
struct BusClient {
    sd_bus_track* track = nullptr;
    size_t objects = 0;
    bool gone = false;

    ~BusClient() { SessionBus().track_unref(track); }
};

// One object made for a client; it goes when the client releases it or leaves the bus.
struct ClientObject {
    ComPtr<IDispatch> object;
    std::shared_ptr<BusClient> client;
    bool released = false;

    // Counted off at once: the client may ask for the next object before this one is dropped.
    void Release()
    {
        if (!std::exchange(released, true))
            --client->objects;
    }
    ~ClientObject() { Release(); }
};

struct PublishedClass {
    DWORD cookie;
    CLSID clsid;
    ComPtr<IClassFactory> factory;
    DWORD flags;
    bool onBus = false;
    bool revoked = false;
    std::string busName;
    std::string path;
    sd_bus_slot* slot = nullptr;
    uint64_t nextInstance = 1;
    std::map<uint64_t, std::unique_ptr<ClientObject>> instances;
};

bool IsMemberName(std::string_view name)
{
    if (name.empty() || name.size() > 255 || (name[0] >= '0' && name[0] <= '9'))
        return false;
    for (char c : name)
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_'))
            return false;
    return true;
}

// The names an object publishes, from its member table or dispatch map.
std::vector<std::string> MemberNames(IDispatch* object)
{
    std::vector<std::string> names;
    if (auto* automation = dynamic_cast<AutomationObject*>(object)) {
        for (const std::wstring& name : automation->MemberNames())
            names.push_back(WideToUtf8(name));
    } else if (CAutomationTarget* target = CAutomationTarget::FromIDispatch(object)) {
        for (const AFX_DISPMAP* map = target->GetDispatchMap(); map; map = map->pBaseMap)
            for (const AFX_DISPMAP_ENTRY* entry = map->lpEntries; entry->name; ++entry)
                names.push_back(WideToUtf8(entry->name));
    }
    // Only names the bus accepts, each once (a derived map may repeat a base map's name).
    std::vector<std::string> published;
    for (std::string& name : names)
        if (IsMemberName(name) && std::find(published.begin(), published.end(), name) == published.end())
            published.push_back(std::move(name));
    return published;
}

std::string IntrospectionHeader()
{
    return "<!DOCTYPE node PUBLIC \"-//freedesktop//DTD D-BUS Object Introspection 1.0//EN\"\n"
           " \"http://www.freedesktop.org/standards/dbus/1.0/introspect.dtd\">\n<node>\n"
           " <interface name=\"org.freedesktop.DBus.Introspectable\">\n"
           "  <method name=\"Introspect\"><arg name=\"data\" type=\"s\" direction=\"out\"/></method>\n"
           " </interface>\n";
}

std::string ClassIntrospection()
{
    std::string xml = IntrospectionHeader();
    xml += std::string(" <interface name=\"") + kClassObjectInterface + "\">\n"
           "  <method name=\"CreateInstance\"><arg name=\"object\" type=\"o\" direction=\"out\"/></method>\n"
           " </interface>\n";
    return xml + "</node>\n";
}

std::string InstanceIntrospection(IDispatch* object)
{
    std::string xml = IntrospectionHeader();
    xml += std::string(" <interface name=\"") + kDispatchInterface + "\">\n"
           "  <method name=\"GetIDsOfNames\"><arg name=\"names\" type=\"as\" direction=\"in\"/>"
           "<arg name=\"result\" type=\"i\" direction=\"out\"/><arg name=\"ids\" type=\"ai\" direction=\"out\"/></method>\n"
           "  <method name=\"Invoke\"><arg name=\"member\" type=\"i\" direction=\"in\"/>"
           "<arg name=\"flags\" type=\"q\" direction=\"in\"/><arg name=\"arguments\" type=\"a(qv)\" direction=\"in\"/>"
           "<arg name=\"named\" type=\"ai\" direction=\"in\"/><arg name=\"result\" type=\"i\" direction=\"out\"/>"
           "<arg name=\"value\" type=\"(qv)\" direction=\"out\"/><arg name=\"references\" type=\"a(u(qv))\" direction=\"out\"/>"
           "<arg name=\"exception\" type=\"(qssi)\" direction=\"out\"/><arg name=\"argument_error\" type=\"u\" direction=\"out\"/></method>\n"
           "  <method name=\"Release\"/>\n"
           " </interface>\n";
    xml += std::string(" <interface name=\"") + kMembersInterface + "\">\n";
    for (const std::string& name : MemberNames(object))
        xml += "  <method name=\"" + name + "\"><arg name=\"arguments\" type=\"av\" direction=\"in\"/>"
               "<arg name=\"value\" type=\"v\" direction=\"out\"/></method>\n";
    return xml + " </interface>\n</node>\n";
}

// The process's published classes and its one connection to the session bus.
class LocalServer {
public:
    // Never destroyed: factories that live until the program ends revoke their classes from here.
    static LocalServer& Instance()
    {
        static LocalServer* server = new LocalServer;
        return *server;
    }

    HRESULT Register(REFCLSID clsid, ComPtr<IClassFactory> factory, DWORD context, DWORD flags, DWORD& cookie)
    {
        auto published = std::make_unique<PublishedClass>();
        published->cookie = m_nextCookie;
        published->clsid = clsid;
        published->factory = std::move(factory);
        published->flags = flags;
        if (context & CLSCTX_LOCAL_SERVER) {
            HRESULT hr = Publish(*published);
            if (FAILED(hr)) {
                if (m_classes.empty() && !m_processing)
                    Disconnect();
                return hr;
            }
        }
        cookie = m_nextCookie++;
        m_classes.push_back(std::move(published));
        // Messages that arrived while the name was being requested are waiting in the connection.
        Process();
        return S_OK;
    }

    // A class revoked by a call that the bus is running (a "Quit" member, an object's last
    // release) goes when that processing ends.
    HRESULT Revoke(DWORD cookie)
    {
        auto it = std::find_if(m_classes.begin(), m_classes.end(), [&](const auto& c) { return c->cookie == cookie && !c->revoked; });
        if (it == m_classes.end())
            return CO_E_OBJNOTREG;
        (*it)->revoked = true;
        if (!m_processing)
            FinishRevocations();
        return S_OK;
    }

    ComPtr<IClassFactory> Find(REFCLSID clsid) const
    {
        for (const auto& c : m_classes)
            if (c->clsid == clsid && !c->revoked)
                return c->factory;
        return {};
    }

    bool Connected() const { return m_connected; }
    void ServeWaiting() { Process(); }

    // Peeks at the socket, so that what it finds stays unread. The connection reads a message no
    // further than its end, so a call that has not been read lies there whole.
    bool HasUnreadCall() const
    {
        const int fd = m_bus ? SessionBus().get_fd(m_bus) : -1;
        int pending = 0;
        if (fd < 0 || ioctl(fd, FIONREAD, &pending) != 0 || pending <= 0)
            return false;
        std::vector<uint8_t> bytes(static_cast<size_t>(pending));
        const ssize_t peeked = recv(fd, bytes.data(), bytes.size(), MSG_PEEK | MSG_DONTWAIT);
        return peeked > 0 && HoldsMethodCall(std::span(bytes.data(), static_cast<size_t>(peeked)));
    }
    void SetLostHandler(std::function<void()> handler) { m_lostHandler = std::move(handler); }

private:
    HRESULT Connect()
    {
        if (m_bus)
            return S_OK;
        int r = OpenUserBus(&m_bus);
        if (r < 0) {
            m_bus = nullptr;
            return HresultFromBusError(r);
        }
        m_connected = true;
        m_waitSource = std::make_unique<WaitSource>(SessionBus().get_fd(m_bus), [this] { Process(); });
        return S_OK;
    }

    void Disconnect()
    {
        m_waitSource.reset();
        m_clients.clear();
        if (m_bus)
            m_bus = SessionBus().flush_close_unref(m_bus);
    }

    HRESULT Publish(PublishedClass& published)
    {
        std::wstring progId = ProgIdFromClsid(published.clsid);
        if (progId.empty())
            return REGDB_E_CLASSNOTREG;
        HRESULT hr = Connect();
        if (FAILED(hr))
            return hr;
        published.busName = BusNameFromProgId(progId);
        published.path = ObjectPathFromProgId(progId);
        int r = SessionBus().add_fallback(m_bus, &published.slot, published.path.c_str(), &LocalServer::OnMessage, &published);
        // A class that serves every client waits in the bus's queue for a name another server
        // holds (a program started for one client), and takes it over when that server lets it
        // go; a single-use class is refused, as its program exists only to serve at once.
        if (r >= 0)
            r = SessionBus().request_name(m_bus, published.busName.c_str(), published.flags == REGCLS_SINGLEUSE ? 0 : SD_BUS_NAME_QUEUE);
        if (r < 0) {
            published.slot = SessionBus().slot_unref(published.slot);
            return r == -EEXIST || r == -EALREADY ? CO_E_OBJISREG : HresultFromBusError(r);
        }
        published.onBus = true;
        return S_OK;
    }

    void Unpublish(PublishedClass& published)
    {
        if (!published.onBus)
            return;
        if (m_bus)
            SessionBus().release_name(m_bus, published.busName.c_str());
        published.slot = SessionBus().slot_unref(published.slot);
        published.onBus = false;
    }

    // Handles every waiting message, then sends the replies. Runs on the waiting thread.
    void Process()
    {
        if (!m_bus || m_processing)
            return;
        m_processing = true;
        int r;
        while ((r = SessionBus().process(m_bus, nullptr)) > 0) {
        }
        if (r >= 0)
            r = SessionBus().flush(m_bus);
        DropReleasedInstances();
        if (std::exchange(m_trimAfterProcessing, false))
            malloc_trim(0);
        m_processing = false;
        if (r < 0) {
            // The bus went away: nothing can reach the published objects any more.
            m_connected = false;
            for (const auto& c : m_classes)
                Unpublish(*c);
            Disconnect();
            if (m_lostHandler)
                m_lostHandler();
        }
        FinishRevocations();
    }

    void FinishRevocations()
    {
        std::erase_if(m_classes, [this](const auto& c) {
            if (c->revoked)
                Unpublish(*c);
            return c->revoked;
        });
        if (m_classes.empty())
            Disconnect();
    }

    void DropReleasedInstances()
    {
        for (const auto& c : m_classes)
            std::erase_if(c->instances, [](const auto& entry) { return entry.second->released || entry.second->client->gone; });
        std::erase_if(m_clients, [](const auto& entry) { return entry.second->gone || entry.second->objects == 0; });
    }

    // Returns 1: a handler that returns 0 is called again at once, for as long as the track is empty.
    static int OnClientGone(sd_bus_track*, void* userdata)
    {
        static_cast<BusClient*>(userdata)->gone = true;
        return 1;
    }

    // The record of the message's sender, watched from its first object on; null when the bus
    // refuses the watch (r tells why).
    std::shared_ptr<BusClient> ClientOf(sd_bus_message* m, int& r)
    {
        const char* sender = SessionBus().message_get_sender(m);
        std::string name = sender ? sender : "";
        auto found = m_clients.find(name);
        if (found != m_clients.end() && !found->second->gone)
            return found->second;
        auto client = std::make_shared<BusClient>();
        r = SessionBus().track_new(m_bus, &client->track, &LocalServer::OnClientGone, client.get());
        if (r >= 0)
            r = SessionBus().track_add_sender(client->track, m);
        if (r < 0)
            return nullptr;
        m_clients[name] = client;
        return client;
    }

    // The live object of the class at path; null when there is none.
    static ClientObject* FindInstance(PublishedClass& published, std::string_view path)
    {
        if (path.size() <= published.path.size() + 1 || !path.starts_with(published.path) || path[published.path.size()] != '/')
            return nullptr;
        std::string_view tail = path.substr(published.path.size() + 1);
        uint64_t id = 0;
        auto [end, error] = std::from_chars(tail.data(), tail.data() + tail.size(), id);
        auto it = published.instances.find(id);
        if (error != std::errc() || end != tail.data() + tail.size() || it == published.instances.end() || it->second->released)
            return nullptr;
        return it->second.get();
    }

    static int OnMessage(sd_bus_message* m, void* userdata, sd_bus_error*)
    {
        auto& published = *static_cast<PublishedClass*>(userdata);
        std::string_view path = SessionBus().message_get_path(m) ? SessionBus().message_get_path(m) : "";
        ClientObject* instance = path == published.path ? nullptr : FindInstance(published, path);
        if (path != published.path && !instance)
            return 0;
        LocalServer& server = Instance();
        if (int r = 0; server.RefuseOversizedCall(m, r))
            return r;
        return instance ? OnInstanceMessage(*instance, m) : server.OnClassMessage(published, m);
    }

    // A call whose arguments take more than one call may carry is refused before anything of it is
    // decoded; true when it was, with what the handler returns in r. Memory that a large call
    // leaves freed is handed back once the call is done.
    bool RefuseOversizedCall(sd_bus_message* m, int& r)
    {
        const size_t bytes = BusArgumentBytes(m, kMaxBusCallBytes);
        m_trimAfterProcessing |= bytes >= kLargeCallBytes;
        if (bytes <= kMaxBusCallBytes)
            return false;
        r = ServerInvocation::ReplyFailure(m, E_OUTOFMEMORY, "The call carries more than " + std::to_string(kMaxBusCallBytes) + " bytes.");
        return true;
    }

    int OnClassMessage(PublishedClass& published, sd_bus_message* m)
    {
        const bool introspect = SessionBus().message_is_method_call(m, kIntrospectableInterface, "Introspect");
        if (!introspect && !SessionBus().message_is_method_call(m, kClassObjectInterface, "CreateInstance"))
            return 0;
        if (int r = 0; !CallHasArguments(m, "", r))
            return r;
        if (introspect)
            return SessionBus().reply_method_return(m, "s", ClassIntrospection().c_str());
        if (published.flags == REGCLS_SINGLEUSE && published.nextInstance > 1)
            return ServerInvocation::ReplyFailure(m, CO_E_OBJNOTREG);
        int r = 0;
        std::shared_ptr<BusClient> client = ClientOf(m, r);
        if (!client)
            return ServerInvocation::ReplyFailure(m, HresultFromBusError(r));
        if (client->objects >= kMaxObjectsPerClient)
            return ServerInvocation::ReplyFailure(m, E_OUTOFMEMORY, "This client holds as many objects as one client may.");
        if (ObjectsInAll() >= kMaxObjectsInAll)
            return ServerInvocation::ReplyFailure(m, E_OUTOFMEMORY, "The server holds as many objects as it serves at a time.");
        auto instance = std::make_unique<ClientObject>();
        instance->client = client;
        ++client->objects;
        HRESULT hr = published.factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(instance->object.Receive()));
        if (FAILED(hr) || !instance->object)
            return ServerInvocation::ReplyFailure(m, FAILED(hr) ? hr : E_NOINTERFACE);
        uint64_t id = published.nextInstance++;
        published.instances.emplace(id, std::move(instance));
        if (published.flags == REGCLS_SINGLEUSE)
            SessionBus().release_name(m_bus, published.busName.c_str());  // the next client starts a new server
        std::string path = published.path + "/" + std::to_string(id);
        return SessionBus().reply_method_return(m, "o", path.c_str());
    }

    // The objects all clients hold now, from one count per client.
    size_t ObjectsInAll() const
    {
        size_t total = 0;
        for (const auto& [name, client] : m_clients)
            total += client->gone ? 0 : client->objects;
        return total;
    }

    static int OnInstanceMessage(ClientObject& instance, sd_bus_message* m)
    {
        IDispatch* object = instance.object.get();
        int r = 0;
        if (SessionBus().message_is_method_call(m, kIntrospectableInterface, "Introspect"))
            return CallHasArguments(m, "", r) ? SessionBus().reply_method_return(m, "s", InstanceIntrospection(object).c_str()) : r;
        const char* interface = SessionBus().message_get_interface(m);
        const char* member = SessionBus().message_get_member(m);
        uint8_t type = 0;
        if (!interface || !member || SessionBus().message_get_type(m, &type) < 0 || type != SD_BUS_MESSAGE_METHOD_CALL)
            return 0;
        if (std::strcmp(interface, kDispatchInterface) == 0) {
            if (std::strcmp(member, "Release") == 0) {
                if (!CallHasArguments(m, "", r))
                    return r;
                instance.Release();
                return SessionBus().reply_method_return(m, "");
            }
            if (std::strcmp(member, "GetIDsOfNames") == 0)
                return AnswerGetIDsOfNames(object, m);
            if (std::strcmp(member, "Invoke") == 0)
                return AnswerInvoke(object, m);
            return 0;
        }
        if (std::strcmp(interface, kMembersInterface) == 0)
            return AnswerMemberCall(object, member, m);
        return 0;
    }

    sd_bus* m_bus = nullptr;
    bool m_connected = true;
    bool m_processing = false;
    bool m_trimAfterProcessing = false;
    std::unique_ptr<WaitSource> m_waitSource;
    std::vector<std::unique_ptr<PublishedClass>> m_classes;
    std::map<std::string, std::shared_ptr<BusClient>> m_clients;  // by unique bus name
    std::function<void()> m_lostHandler;
    DWORD m_nextCookie = 1;
};

} // namespace

HRESULT CoRegisterClassObject(REFCLSID clsid, IUnknown* classObject, DWORD context, DWORD flags, LPDWORD cookie)
{
    if (!classObject || !cookie)
        return E_INVALIDARG;
    *cookie = 0;
    ComPtr<IClassFactory> factory;
    if (FAILED(classObject->QueryInterface(IID_IClassFactory, reinterpret_cast<void**>(factory.Receive()))) || !factory)
        return E_NOINTERFACE;
    return LocalServer::Instance().Register(clsid, std::move(factory), context, flags, *cookie);
}

HRESULT CoRevokeClassObject(DWORD cookie) { return LocalServer::Instance().Revoke(cookie); }

ComPtr<IClassFactory> FindRegisteredClassObject(REFCLSID clsid) { return LocalServer::Instance().Find(clsid); }

namespace {

// CoCreateInstance reaches the published class objects and other processes' servers through this
// hook, which every program that links the local server has.
const bool g_localServerHookInstalled = [] {
    SetLocalServerHook({ FindRegisteredClassObject, CreateLocalServerObject });
    return true;
}();

} // namespace

bool IsLocalServerConnected() { return LocalServer::Instance().Connected(); }

void ServeWaitingLocalServerRequests() { LocalServer::Instance().ServeWaiting(); }

bool HasUnreadLocalServerCall() { return LocalServer::Instance().HasUnreadCall(); }

void SetLocalServerLostHandler(std::function<void()> handler) { LocalServer::Instance().SetLostHandler(std::move(handler)); }

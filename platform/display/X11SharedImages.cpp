#include "platform/display/X11SharedImages.h"

#define Display XDisplay
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#undef Display

#include <bit>
#include <memory>
#include <sys/ipc.h>
#include <sys/shm.h>
#include <sys/socket.h>

namespace {

const cairo_user_data_key_t kSegmentKey {};

// Records the first error of the requests sent while it lives, in place of the display's
// handler, which would ignore it; errors of earlier requests still go to that handler.
class ErrorTrap {
public:
    explicit ErrorTrap(XDisplay* connection)
        : m_x(connection)
    {
        s_from = NextRequest(connection);
        s_error = Success;
        s_previous = XSetErrorHandler(Record);
    }
    ~ErrorTrap() { XSetErrorHandler(s_previous); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    // Waits until the server has carried out every request sent; the error code of the first
    // trapped one that failed, or Success.
    int Sync()
    {
        XSync(m_x, False);
        return s_error;
    }

private:
    static int Record(XDisplay* connection, XErrorEvent* error)
    {
        if (error->serial < s_from)
            return s_previous ? s_previous(connection, error) : 0;
        if (s_error == Success)
            s_error = error->error_code;
        return 0;
    }

    XDisplay* m_x;
    static inline unsigned long s_from = 0;
    static inline int s_error = Success;
    static inline XErrorHandler s_previous = nullptr;
};

// A shared segment names memory on the server's machine: on any other connection than a local
// socket the server would attach whatever segment has that number there.
bool IsLocalConnection(XDisplay* connection)
{
    sockaddr_storage address {};
    socklen_t length = sizeof address;
    return getsockname(ConnectionNumber(connection), reinterpret_cast<sockaddr*>(&address), &length) == 0 && address.ss_family == AF_UNIX;
}

// The server must read the segment's bytes as cairo wrote them: 24-bit true colour, red, green
// and blue in the low three bytes of a native-endian 32-bit word.
bool ShowsCairoPixels(XDisplay* connection)
{
    const int screen = DefaultScreen(connection);
    const Visual* visual = DefaultVisual(connection, screen);
    const int nativeOrder = std::endian::native == std::endian::little ? LSBFirst : MSBFirst;
    return DefaultDepth(connection, screen) == 24 && visual->c_class == TrueColor && visual->red_mask == 0xFF0000
        && visual->green_mask == 0xFF00 && visual->blue_mask == 0xFF && ImageByteOrder(connection) == nativeOrder;
}

} // namespace

// One surface's pixels: a System V segment mapped here and, while its connection lives, in the
// server. Marked for removal once the server has attached it, so the system frees it when both
// have let go, even when the program dies.
struct X11SharedImages::Segment {
    X11SharedImages* owner = nullptr; // null once the display closed, which detached the server
    XShmSegmentInfo info { 0, -1, nullptr, True };
    XImage* image = nullptr;
    bool attached = false;

    ~Segment()
    {
        if (owner && attached) {
            XShmDetach(owner->m_x, &info);
            XFlush(owner->m_x);
            owner->m_live.erase(this);
        }
        if (info.shmaddr)
            shmdt(info.shmaddr);
        if (image) {
            // The pixels are the segment's and the segment record is ours.
            image->data = nullptr;
            image->obdata = nullptr;
            XDestroyImage(image);
        }
    }

    static void Destroy(void* segment) { delete static_cast<Segment*>(segment); }
};

X11SharedImages::X11SharedImages(XDisplay* connection, bool wanted)
    : m_x(connection)
{
    m_usable = wanted && IsLocalConnection(connection) && XShmQueryExtension(connection) && ShowsCairoPixels(connection);
}

X11SharedImages::~X11SharedImages()
{
    for (Segment* segment : m_live)
        segment->owner = nullptr;
}

cairo_surface_t* X11SharedImages::CreateSurface(int width, int height)
{
    if (!m_usable)
        return nullptr;
    auto segment = std::make_unique<Segment>();
    const int screen = DefaultScreen(m_x);
    segment->image = XShmCreateImage(m_x, DefaultVisual(m_x, screen), 24, ZPixmap, nullptr, &segment->info, width, height);
    if (!segment->image || segment->image->bits_per_pixel != 32
        || segment->image->bytes_per_line != cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, width))
        return nullptr;
    const size_t size = static_cast<size_t>(segment->image->bytes_per_line) * height;
    segment->info.shmid = shmget(IPC_PRIVATE, size, IPC_CREAT | 0600);
    if (segment->info.shmid < 0)
        return nullptr;
    void* address = shmat(segment->info.shmid, nullptr, 0);
    if (address == reinterpret_cast<void*>(-1)) {
        shmctl(segment->info.shmid, IPC_RMID, nullptr);
        return nullptr;
    }
    segment->info.shmaddr = segment->image->data = static_cast<char*>(address);
    {
        // A server that cannot reach the segment (another user's, or in another IPC namespace)
        // answers BadAccess; then no segment will do on this connection.
        ErrorTrap trap(m_x);
        XShmAttach(m_x, &segment->info);
        segment->attached = trap.Sync() == Success;
    }
    shmctl(segment->info.shmid, IPC_RMID, nullptr);
    if (!segment->attached) {
        m_usable = false;
        return nullptr;
    }
    segment->owner = this;
    m_live.insert(segment.get());
    cairo_surface_t* surface = cairo_image_surface_create_for_data(reinterpret_cast<unsigned char*>(address), CAIRO_FORMAT_RGB24,
        width, height, segment->image->bytes_per_line);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS
        || cairo_surface_set_user_data(surface, &kSegmentKey, segment.get(), Segment::Destroy) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        return nullptr;
    }
    segment.release();
    return surface;
}

bool X11SharedImages::Put(Drawable drawable, GC gc, cairo_surface_t* surface, const RECT& area)
{
    auto* segment = static_cast<Segment*>(cairo_surface_get_user_data(surface, &kSegmentKey));
    if (!segment || segment->owner != this)
        return false;
    XShmPutImage(m_x, drawable, gc, segment->image, area.left, area.top, area.left, area.top, area.right - area.left,
        area.bottom - area.top, False);
    // The server reads the segment when it carries the request out, not when the request is sent:
    // drawing into the surface before then could show the next picture half drawn. Waiting here
    // until the server has answered costs one round trip and ends every present complete, so no
    // drawing code has to know about it.
    XSync(m_x, False);
    return true;
}

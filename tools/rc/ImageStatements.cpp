// BITMAP, ICON and CURSOR from PNG files. A bitmap is stored as a packed device-independent
// bitmap (BITMAPINFOHEADER, colour table, bottom-up rows padded to DWORDs): palette images keep
// 8 bits per pixel and their colour table, others get 32 bits (blue, green, red, alpha). An icon
// or a cursor is stored as the PNG itself in an RT_ICON / RT_CURSOR entry (a cursor's entry
// starts with its hot spot) and a group directory that names them: an icon may list one PNG
// file per size (ICON "16.png", "32.png"), a cursor has one.

#include "tools/rc/ScriptParser.h"

#include <png.h>

#include <vector>

namespace fln::rc {

namespace {

constexpr std::uint64_t kMaxPixels = 16u * 1024 * 1024;

struct PngImage {
    png_image image {};
    PngImage() { image.version = PNG_IMAGE_VERSION; }
    ~PngImage() { png_image_free(&image); }
    PngImage(const PngImage&) = delete;
    PngImage& operator=(const PngImage&) = delete;
};

// Reads a PNG's header; returns an error message or an empty text.
std::string BeginPng(PngImage& png, const std::string& contents)
{
    if (!png_image_begin_read_from_memory(&png.image, contents.data(), contents.size()))
        return std::string("not a readable PNG image (") + png.image.message + ")";
    if (png.image.width == 0 || png.image.height == 0
        || std::uint64_t(png.image.width) * png.image.height > kMaxPixels || png.image.width > 0x7FFF || png.image.height > 0x7FFF)
        return "PNG image too large";
    return {};
}

void WriteInfoHeader(ByteWriter& out, std::uint32_t width, std::uint32_t height, std::uint16_t bits, std::uint32_t imageSize, std::uint32_t colours)
{
    out.Dword(40);
    out.Dword(width);
    out.Dword(height); // positive: rows bottom-up
    out.Word(1);
    out.Word(bits);
    out.Dword(0); // BI_RGB
    out.Dword(imageSize);
    out.Dword(2835); // 72 dots per inch
    out.Dword(2835);
    out.Dword(colours);
    out.Dword(0);
}

}

void ScriptParser::Bitmap(const Token& at, const ResourceName& name)
{
    SkipCommonOptions();
    const Token fileToken = ExpectString("the PNG file name");
    std::string contents = ReadNamedFile(fileToken);
    PngImage png;
    if (std::string error = BeginPng(png, contents); !error.empty())
        Fail(fileToken, error);
    const std::uint32_t width = png.image.width, height = png.image.height;
    const bool palette = (png.image.format & PNG_FORMAT_FLAG_COLORMAP) != 0;
    png.image.format = palette ? PNG_FORMAT_BGRA | PNG_FORMAT_FLAG_COLORMAP : PNG_FORMAT_BGRA;
    std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(png.image));
    std::vector<std::uint8_t> colourMap(palette ? PNG_IMAGE_COLORMAP_SIZE(png.image) : 0);
    if (!png_image_finish_read(&png.image, nullptr, pixels.data(), 0, palette ? colourMap.data() : nullptr))
        Fail(fileToken, std::string("cannot decode the PNG image (") + png.image.message + ")");

    const std::uint32_t bytesPerPixel = palette ? 1 : 4;
    const std::uint32_t rowSize = (width * bytesPerPixel + 3) & ~3u;
    const std::uint32_t colours = palette ? png.image.colormap_entries : 0;
    ByteWriter out;
    WriteInfoHeader(out, width, height, palette ? 8 : 32, rowSize * height, colours);
    for (std::uint32_t i = 0; i < colours; ++i) {
        out.Byte(colourMap[i * 4]);     // blue
        out.Byte(colourMap[i * 4 + 1]); // green
        out.Byte(colourMap[i * 4 + 2]); // red
        out.Byte(0);
    }
    for (std::uint32_t row = height; row-- > 0;) {
        const std::uint8_t* source = pixels.data() + std::size_t(row) * width * bytesPerPixel;
        out.Data().insert(out.Data().end(), source, source + std::size_t(width) * bytesPerPixel);
        out.AlignToDword();
    }
    Add(at, { kTypeBitmap, {} }, name, std::move(out.Data()));
}

void ScriptParser::IconOrCursor(const Token& at, const ResourceName& name, bool cursor)
{
    SkipCommonOptions();
    struct Image {
        std::uint16_t id, width, height;
        std::uint32_t size;
    };
    std::vector<Image> images;
    // A cursor is one image with an optional hot spot; an icon may list one image per size.
    do {
        const Token fileToken = ExpectString("the PNG file name");
        std::string contents = ReadNamedFile(fileToken);
        std::uint16_t hotX = 0, hotY = 0;
        if (cursor && Accept(',')) { // the hot spot, which a PNG file cannot carry
            hotX = WordExpression("hot spot x");
            Expect(',', "between the hot spot's x and y");
            hotY = WordExpression("hot spot y");
        }
        PngImage png;
        if (std::string error = BeginPng(png, contents); !error.empty())
            Fail(fileToken, error);
        const std::uint32_t width = png.image.width, height = png.image.height;
        if (width > 256 || height > 256)
            Fail(fileToken, "icons and cursors are at most 256 by 256 pixels");
        if (cursor && (hotX >= width || hotY >= height))
            Fail(fileToken, "the hot spot lies outside the cursor");

        std::uint16_t& nextId = cursor ? m_nextCursorId : m_nextIconId;
        if (nextId == 0xFFFF)
            Fail(at, "too many images");
        const std::uint16_t imageId = nextId++;
        ByteWriter image;
        if (cursor) {
            image.Word(hotX);
            image.Word(hotY);
        }
        image.Bytes(contents);
        images.push_back({ imageId, static_cast<std::uint16_t>(width), static_cast<std::uint16_t>(height), static_cast<std::uint32_t>(image.Size()) });
        Add(at, { cursor ? kTypeCursor : kTypeIcon, {} }, { imageId, {} }, std::move(image.Data()));
    } while (!cursor && Accept(','));

    ByteWriter group;
    group.Word(0);
    group.Word(cursor ? 2 : 1);
    group.Word(static_cast<std::uint16_t>(images.size()));
    for (const Image& image : images) {
        if (cursor) {
            group.Word(image.width);
            group.Word(image.height);
        } else {
            group.Byte(static_cast<std::uint8_t>(image.width)); // 256 is written as 0
            group.Byte(static_cast<std::uint8_t>(image.height));
            group.Byte(0); // colour count: none, the image is true colour
            group.Byte(0);
        }
        group.Word(1);  // planes
        group.Word(32); // bits per pixel
        group.Dword(image.size);
        group.Word(image.id);
    }
    Add(at, { cursor ? kTypeGroupCursor : kTypeGroupIcon, {} }, name, std::move(group.Data()));
}

}

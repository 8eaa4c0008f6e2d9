// TBitmap: a picture in memory for scripts. Default makes a new bitmap
// table; FromFile and Save go through the platform's decoder and JPEG
// writer with paths inside the device folder; the processing methods take
// an optional destination bitmap as their last accepted argument. No method
// raises an error for a picture that cannot be had: it simply does nothing.
#include "engine/vm/class_binding.h"
#include "engine/vm/interpreter.h"
#include "engine/vm/path_resolver.h"
#include "gui/view/view_class.h"
#include "media/image/bitmap_library.h"
#include "media/image/image_operations.h"
#include "media/image/script_bitmap.h"
#include "platform/draw/image_codec.h"

#include <cstring>
#include <memory>
#include <new>
#include <optional>

namespace vellum::media {

namespace {

constexpr int32_t kJpegQuality = 99;

DibImage* ThisImage(Interpreter& ip)
{
    const Value& self = ip.ArgValue(0);
    return self.IsTable() ? BitmapImage(ip, self.table) : nullptr;
}

// The number of arguments after CheckArgs, `this` left out.
int Given(Interpreter& ip)
{
    return ip.ArgCount() - 1;
}

// Argument i truncated to an integer; false, with errNumberExpected, for
// anything but a number.
bool ArgInt(Interpreter& ip, int i, int32_t& out)
{
    const double d = ip.ArgNumber(i);
    if (ip.ErrorPending()) return false;
    Interpreter::ValueToInt(Value::Number(d), out);
    return true;
}

// Where an operation puts its result. The destination counts only when it
// is exactly the last accepted argument; one given there that is not a
// bitmap makes the whole operation do nothing, rather than overwrite the
// source the script meant to keep.
struct Target {
    bool valid;
    DibImage* dest;
};

Target TargetOf(Interpreter& ip, int destArg)
{
    if (Given(ip) != destArg) return {true, nullptr};
    const Value& dest = ip.ArgValue(destArg);
    DibImage* image = dest.IsTable() ? BitmapImage(ip, dest.table) : nullptr;
    return {image != nullptr, image};
}

uint32_t Default(Interpreter& ip)
{
    if (!ip.CheckArgs(0, -1)) return 0;
    const Value self = ip.ArgValue(0);
    TableObject* bitmap = ip.NewTable();
    if (self.IsTable()) SetParent(ip, bitmap, self);
    AttachNative(ip, bitmap, ip.Make<ScriptBitmap>());
    ip.PushValue(Value::Table(bitmap));
    return 1;
}

// A bitmap is no view: placed in a view tree it makes none, and the tree
// shows its error view in that place.
uint32_t Create(Interpreter& ip)
{
    ip.CheckArgs(0, -1);
    return 0;
}

// The decoded rows become the image's rows as they are; a decoder answer
// that does not hold its rows leaves the image empty.
void Load(DibImage& image, const platform::DecodedImage& picture)
{
    const uint64_t rowBytes = 3 * static_cast<uint64_t>(picture.width);
    if (picture.width <= 0 || picture.height <= 0 || picture.stride < rowBytes ||
        picture.rows.size() < uint64_t{picture.stride} * static_cast<uint64_t>(picture.height)) {
        return;
    }
    if (!image.Create(static_cast<uint32_t>(picture.width), static_cast<uint32_t>(picture.height), 24)) return;
    for (int32_t r = 0; r < picture.height; ++r) {
        std::memcpy(image.Row(r), picture.rows.data() + size_t{picture.stride} * static_cast<size_t>(r),
                    static_cast<size_t>(rowBytes));
    }
}

uint32_t FromFile(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    DibImage* image = ThisImage(ip);
    if (image == nullptr) return 0;
    const std::optional<std::filesystem::path> file = ip.Paths().HostPath(ip.ArgText(1)->Utf16());
    image->Release();
    if (file) {
        if (const std::optional<platform::DecodedImage> picture = platform::DecodeImageFile(*file, kMaxPixelBits / 24)) {
            Load(*image, *picture);
        }
    }
    ip.PushBool(true);
    return 1;
}

// The encoder takes the picture top-down with four bytes a pixel: blue,
// green, red and a zero.
void SaveJpeg(const DibImage& image, const std::filesystem::path& file)
{
    const int32_t width = image.Width();
    const int32_t height = image.Height();
    const size_t rowBytes = 4 * static_cast<size_t>(width);
    const std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[rowBytes * static_cast<size_t>(height)]);
    if (!pixels) return;
    for (int32_t y = 0; y < height; ++y) {
        const uint8_t* from = image.Row(height - 1 - y);
        uint8_t* to = pixels.get() + rowBytes * static_cast<size_t>(y);
        for (int32_t x = 0; x < width; ++x, from += 3, to += 4) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
            to[3] = 0;
        }
    }
    platform::WriteJpeg(file, pixels.get(), width, height, kJpegQuality);
}

uint32_t Save(Interpreter& ip)
{
    if (!ip.CheckArgs(1, -1)) return 0;
    DibImage* image = ThisImage(ip);
    if (image == nullptr) return 0;
    const std::optional<std::filesystem::path> file = ip.Paths().HostPath(ip.ArgText(1)->Utf16());
    if (file && !image->Empty() && image->BitCount() == 24) SaveJpeg(*image, *file);
    ip.PushBool(true);
    return 1;
}

uint32_t CropMethod(Interpreter& ip)
{
    if (!ip.CheckArgs(4, 5)) return 0;
    int32_t corners[4];
    for (int i = 0; i < 4; ++i) {
        if (!ArgInt(ip, i + 1, corners[i])) return 0;
    }
    DibImage* image = ThisImage(ip);
    const Target target = TargetOf(ip, 5);
    if (image != nullptr && target.valid) Crop(*image, target.dest, corners[0], corners[1], corners[2], corners[3]);
    return 0;
}

// One number (or a height of -1) makes the longer side that long and keeps
// the aspect ratio.
uint32_t SizeMethod(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 3)) return 0;
    const int count = Given(ip);
    int32_t size = 0;
    int32_t height = -1;
    if (count >= 1 && !ArgInt(ip, 1, size)) return 0;
    if (count >= 2 && !ArgInt(ip, 2, height)) return 0;
    DibImage* image = ThisImage(ip);
    if (image == nullptr) return 0;
    const Target target = TargetOf(ip, 3);
    if (count >= 1 && target.valid && !image->Empty()) {
        int32_t newWidth = size;
        int32_t newHeight = height;
        if (height == -1) {
            const double w = image->Width();
            const double h = image->Height();
            const double n = size;
            // Saturating, so that no answer is too large for an int.
            if (image->Width() > image->Height()) {
                Interpreter::ValueToInt(Value::Number(n / w * h + 0.5), newHeight);
            } else {
                newHeight = size;
                Interpreter::ValueToInt(Value::Number(n / h * w + 0.5), newWidth);
            }
        }
        Resize(*image, target.dest, newWidth, newHeight);
    }
    TableObject* result = ip.NewTable();
    ip.TableSet(result, u"width", Value::Number(image->Width()));
    ip.TableSet(result, u"height", Value::Number(image->Height()));
    ip.PushValue(Value::Table(result));
    return 1;
}

uint32_t RotateMethod(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 2)) return 0;
    const double angle = ip.ArgNumber(1);
    if (ip.ErrorPending()) return 0;
    DibImage* image = ThisImage(ip);
    const Target target = TargetOf(ip, 2);
    if (image != nullptr && target.valid) Rotate(*image, target.dest, angle);
    return 0;
}

uint32_t BrightnessContrastMethod(Interpreter& ip)
{
    if (!ip.CheckArgs(1, 3)) return 0;
    int32_t brightness = 0;
    int32_t contrast = 0;
    if (!ArgInt(ip, 1, brightness)) return 0;
    if (Given(ip) >= 2 && !ArgInt(ip, 2, contrast)) return 0;
    DibImage* image = ThisImage(ip);
    const Target target = TargetOf(ip, 3);
    if (image != nullptr && target.valid) BrightnessContrast(*image, target.dest, brightness, contrast);
    return 0;
}

uint32_t BlackAndWhiteMethod(Interpreter& ip)
{
    if (!ip.CheckArgs(0, 1)) return 0;
    DibImage* image = ThisImage(ip);
    const Target target = TargetOf(ip, 1);
    if (image != nullptr && target.valid) BlackAndWhite(*image, target.dest);
    return 0;
}

constexpr ClassMethod kBitmapMethods[] = {
    {u"Default", Default},
    {u"FromFile", FromFile},
    {u"Save", Save},
    {u"Crop", CropMethod},
    {u"Size", SizeMethod},
    {u"Rotate", RotateMethod},
    {u"BrightnessContrast", BrightnessContrastMethod},
    {u"BlackAndWhite", BlackAndWhiteMethod},
};

} // namespace

void RegisterBitmapClass(Interpreter& ip)
{
    AddMethods(ip, gui::RegisterViewClass(ip, u"TBitmap", Create), kBitmapMethods);
}

} // namespace vellum::media

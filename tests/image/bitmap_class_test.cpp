// TBitmap through scripts: Size, Crop and the other methods with and
// without a destination, and pictures saved as JPEG and loaded again
// inside the device folder.
#include "image/image_helpers.h"
#include "media/image/script_bitmap.h"
#include "system/system_harness.h"

namespace vellum::test {
namespace {

class BitmapClassTest : public SystemHarness {
protected:
    BitmapClassTest() { Run("var gB = TBitmap() var gD = TBitmap() var gL = TBitmap() var s"); }
    // The picture of the global bitmap table `name`.
    DibImage& Image(std::u16string_view name)
    {
        const Value table = ip->GetGlobal(name);
        EXPECT_TRUE(table.IsTable());
        DibImage* image = table.IsTable() ? media::BitmapImage(*ip, table.table) : nullptr;
        EXPECT_NE(image, nullptr);
        return image != nullptr ? *image : spare;
    }
    std::string SizeOf(std::string_view name)
    {
        return Run("s = " + std::string(name) + ".Size() result = s.width & 'x' & s.height");
    }
    DibImage spare;
};

Bgr Gradient(int32_t x, int32_t r)
{
    return {x & 255, r & 255, 200};
}

TEST_F(BitmapClassTest, DestinationsReceiveResultsAndLeaveTheSourceAlone)
{
    Image(u"gB") = MakeImage(40, 30, Gradient);

    EXPECT_EQ(Run("gB.Crop(30, 0, 10, 10, gD)"), "null");
    EXPECT_EQ(SizeOf("gD"), "\"20x10\"");
    EXPECT_EQ(SizeOf("gB"), "\"40x30\"");
    EXPECT_EQ(At(Image(u"gD"), 0, 9), Gradient(10, 29)); // top left of the kept area
    EXPECT_EQ(Run("s = gB.Size(20, 15, gD) result = s.width & 'x' & s.height"), "\"40x30\"");
    EXPECT_EQ(SizeOf("gD"), "\"20x15\"");
    Run("gB.Rotate(90, gD)");
    EXPECT_EQ(SizeOf("gD"), "\"30x40\"");
    Run("gB.BrightnessContrast(10, 0, gD)");
    EXPECT_EQ(At(Image(u"gD"), 5, 5), (Bgr{15, 15, 210}));
    Run("gB.BlackAndWhite(gD)");
    EXPECT_EQ(At(Image(u"gD"), 5, 5), (Bgr{63, 63, 63}));
    EXPECT_TRUE(SamePixels(Image(u"gB"), MakeImage(40, 30, Gradient)));

    // A destination that is no bitmap makes the operation do nothing at all.
    for (const char* call : {"gB.Crop(0, 0, 5, 5, 7)", "gB.Size(10, 10, {})", "gB.Rotate(90, 'x')",
                             "gB.BrightnessContrast(50, 0, TBitmap)", "gB.BlackAndWhite(null)"}) {
        EXPECT_NE(Eval(call)[0], '!') << call;
        EXPECT_TRUE(SamePixels(Image(u"gB"), MakeImage(40, 30, Gradient))) << call;
    }
    // Fewer arguments: no destination, the bitmap itself changes.
    Run("gB.BrightnessContrast(50)");
    EXPECT_EQ(At(Image(u"gB"), 1, 2), (Bgr{51, 52, 250}));
    Run("gB.Rotate(270) gB.Crop(0, 0, 10, 20)");
    EXPECT_EQ(SizeOf("gB"), "\"10x20\"");
}

TEST_F(BitmapClassTest, SavedPicturesAreJpegFilesThatLoadAgain)
{
    Image(u"gB") = MakeImage(64, 48, [](int32_t x, int32_t) { return x < 32 ? Bgr{0, 0, 250} : Bgr{250, 0, 0}; });
    // Whatever the extension, the file holds JPEG data.
    EXPECT_EQ(Eval("gB.Save('\\\\pictures\\\\..\\\\out.png')"), "true");
    const std::vector<uint8_t> bytes = ReadBytes("out.png");
    EXPECT_TRUE(bytes.size() > 3 && bytes[0] == 0xFF && bytes[1] == 0xD8);

    EXPECT_EQ(Eval("gL.FromFile('\\\\OUT.PNG')"), "true");
    ASSERT_EQ(SizeOf("gL"), "\"64x48\"");
    EXPECT_NEAR(At(Image(u"gL"), 5, 40)[2], 250, 8); // red on the left
    EXPECT_NEAR(At(Image(u"gL"), 60, 3)[0], 250, 8); // blue on the right

    // A file that cannot be loaded leaves the bitmap empty; nothing is an error.
    EXPECT_EQ(Eval("gL.FromFile('\\\\missing.jpg')"), "true");
    EXPECT_EQ(SizeOf("gL"), "\"0x0\"");
    WriteBytes("broken.jpg", {0xFF, 0xD8, 0x00, 0x01});
    EXPECT_EQ(Eval("gL.FromFile('broken.jpg')"), "true");
    EXPECT_EQ(SizeOf("gL"), "\"0x0\"");
    // An empty bitmap writes nothing.
    EXPECT_EQ(Eval("gL.Save('\\\\empty.jpg')"), "true");
    EXPECT_FALSE(std::filesystem::exists(folder / "empty.jpg"));
    // Paths cannot climb out of the device folder.
    EXPECT_EQ(Eval("gB.Save('\\\\..\\\\..\\\\escaped.jpg')"), "true");
    EXPECT_FALSE(std::filesystem::exists(folder.parent_path() / "escaped.jpg"));
    EXPECT_EQ(Eval("TBitmap.Save('\\\\x.jpg')"), "null");
}

} // namespace
} // namespace vellum::test

// TImage: the picture "image" names, a file of the device folder or a
// picture another library made (a "binary" value), drawn at its natural
// size, stretched, or scaled keeping its proportions ("mode"), with an
// opacity ("blend"). The file's picture is kept between paints and loaded
// again only when "image" names another file.
#pragma once

#include "gui/view/view.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace vellum::platform {
class Picture;
}

namespace vellum::gui {

class ImageView final : public View {
public:
    explicit ImageView(Interpreter& ip);
    ~ImageView() override;

    void Release() override;
    void Draw(Canvas& canvas, const Rect& clip) override;
    int32_t MeasureHeight() override;
    int32_t MeasureWidth() override;

private:
    // The picture "image" gives now, loading its file when the name changed;
    // none for null and for a file that cannot be read. Valid until script
    // code runs again.
    const platform::Picture* CurrentPicture();
    // The natural size of the current picture, margins not included.
    platform::Size NaturalSize();

    bool fileChosen = false;
    std::u16string fileName;                         // as the script gave it
    std::optional<std::filesystem::path> hostFile;   // where it led
    std::unique_ptr<platform::Picture> loaded;
};

} // namespace vellum::gui

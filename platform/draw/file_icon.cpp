// File icons from the desktop's icon theme, chosen by the file's MIME type
// as file managers choose them. Without a theme (a headless run, a bare
// desktop) the style's standard file and folder icons stand in, and
// without widgets a plain document drawn here, so a file always has an
// icon. Icons are rendered once per icon name and kept.
#include "platform/draw/file_icon.h"

#include "platform/draw/picture_pixels.h"

#include <QApplication>
#include <QFileInfo>
#include <QGuiApplication>
#include <QIcon>
#include <QImage>
#include <QMimeDatabase>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

#include <map>
#include <memory>
#include <system_error>

namespace vellum::platform {

namespace {

constexpr int iconSize = 32;

QIcon ThemeIcon(const QMimeType& mime)
{
    QIcon icon = QIcon::fromTheme(mime.iconName());
    if (icon.isNull()) icon = QIcon::fromTheme(mime.genericIconName());
    return icon;
}

QIcon StyleIcon(bool directory)
{
    const auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    if (app == nullptr) return {};
    return QApplication::style()->standardIcon(directory ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
}

// A sheet of paper with a folded corner.
QImage DrawnDocument()
{
    QImage image(iconSize, iconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    const QPolygon sheet({{6, 2}, {20, 2}, {26, 8}, {26, 29}, {6, 29}});
    painter.setPen(QColor(96, 96, 96));
    painter.setBrush(Qt::white);
    painter.drawPolygon(sheet);
    painter.drawPolyline(QPolygon({{20, 2}, {20, 8}, {26, 8}}));
    return image;
}

// The icon at 32 pixels, scaled up when the theme has only smaller ones.
QImage Render(const QIcon& icon)
{
    QImage image(iconSize, iconSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    const QPixmap pixmap = icon.pixmap(QSize(iconSize, iconSize), 1.0);
    if (pixmap.isNull()) return DrawnDocument();
    const QImage source = pixmap.toImage().scaled(iconSize, iconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    QPainter painter(&image);
    painter.drawImage((iconSize - source.width()) / 2, (iconSize - source.height()) / 2, source);
    return image;
}

} // namespace

const Picture* FileIcon(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return nullptr;
    // Pixmaps need the GUI.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()) == nullptr) return nullptr;

    const QFileInfo info(QFile::decodeName(file.c_str()));
    const QMimeType mime = QMimeDatabase().mimeTypeForFile(info);
    static std::map<QString, std::unique_ptr<Picture>> icons;
    auto found = icons.find(mime.iconName());
    if (found == icons.end()) {
        QIcon icon = ThemeIcon(mime);
        if (icon.isNull()) icon = StyleIcon(info.isDir());
        const QImage image = icon.isNull() ? DrawnDocument() : Render(icon);
        found = icons.emplace(mime.iconName(), std::make_unique<Picture>(Picture::Pixels{image}, Picture::Kind::Icon)).first;
    }
    return found->second.get();
}

std::optional<int32_t> FileIconIndex(const std::filesystem::path& file)
{
    std::error_code error;
    if (!std::filesystem::exists(file, error)) return std::nullopt;
    const QString name = QMimeDatabase().mimeTypeForFile(QFileInfo(QFile::decodeName(file.c_str()))).iconName();
    static std::map<QString, int32_t> indices;
    return indices.emplace(name, static_cast<int32_t>(indices.size())).first->second;
}

} // namespace vellum::platform

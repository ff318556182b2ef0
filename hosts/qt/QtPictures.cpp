#include "qt/QtPictures.h"

#include <QGuiApplication>
#include <QPainter>

#include "app/CommandTable.h"

static void LoadPictureResources() { Q_INIT_RESOURCE(pictures); }

namespace tabulon::qt {

namespace {

constexpr int kWidth = 16;
constexpr int kHeight = 15;

QImage ToolbarStrip(int scale) {
    const std::vector<int> commands = CQtPictureSource(scale).ToolbarCommands(kToolbarResource);
    QImage strip(kWidth * scale * static_cast<int>(commands.size()), kHeight * scale, QImage::Format_ARGB32);
    strip.fill(Qt::transparent);
    QPainter painter(&strip);
    for (std::size_t i = 0; i < commands.size(); ++i)
        painter.drawImage(static_cast<int>(i) * kWidth * scale, 0,
                          PictureImage(PictureOf(static_cast<CommandId>(commands[i])), scale));
    return strip;
}

}  // namespace

QImage PictureImage(int resource, int scale) {
    LoadPictureResources();
    if (resource == kToolbarResource) return ToolbarStrip(scale);
    const QString name = scale > 1 ? QStringLiteral(":/pictures/%1@2x.png") : QStringLiteral(":/pictures/%1.png");
    QImage image(name.arg(resource));
    if (image.isNull() && scale > 1) return PictureImage(resource, 1);
    // Qt reads "@2x" in a name as a pixel ratio; here the scale is said
    // where the image is used.
    image.setDevicePixelRatio(1);
    return image;
}

CQtPictureSource::CQtPictureSource() : m_scale(qGuiApp && qGuiApp->devicePixelRatio() > 1.0 ? 2 : 1) {}

std::optional<Bitmap> CQtPictureSource::LoadBitmap(int resource) {
    const QImage loaded = PictureImage(resource, m_scale);
    if (loaded.isNull()) return std::nullopt;
    const QImage image = loaded.convertToFormat(QImage::Format_ARGB32);
    const int scale = image.height() >= kHeight * 2 ? 2 : 1;
    Bitmap bitmap{image.width(), image.height(), scale, {}};
    bitmap.pixels.resize(static_cast<std::size_t>(image.width()) * image.height());
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const Pixel*>(image.constScanLine(y));
        std::copy(row, row + image.width(), bitmap.pixels.begin() + static_cast<std::ptrdiff_t>(y) * image.width());
    }
    return bitmap;
}

std::vector<int> CQtPictureSource::ToolbarCommands(int resource) {
    std::vector<int> commands;
    if (resource != kToolbarResource) return commands;
    for (const ToolbarSlot& slot : Toolbar())
        if (slot.id != CommandId{}) commands.push_back(static_cast<int>(slot.command));
    return commands;
}

}  // namespace tabulon::qt

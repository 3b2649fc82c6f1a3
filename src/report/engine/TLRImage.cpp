#include "report/engine/TLRImage.h"

#include "common/PictureBytes.h"

#include <QFile>
#include <QPainter>

namespace {

const QString kPictureKindMessage = QStringLiteral("イメージはビットマップかJPEGイメージのみ有効です");

} // namespace

TLRImage::TLRImage(QObject *parent) : TCustomLRItem(parent) {}

void TLRImage::setPicture(const QByteArray &fileBytes)
{
    if (fileBytes.isEmpty()) {
        clearPicture();
        return;
    }
    const PictureBytes::Decoded decoded = PictureBytes::decode(fileBytes);
    if (decoded.unreadable)
        throw AppError(kPictureKindMessage);
    m_picture = decoded.picture.convertToFormat(QImage::Format_RGB32);
}

void TLRImage::setPicture(const QImage &image)
{
    m_picture = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
}

void TLRImage::loadPicture(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw AppError(QStringLiteral("ファイルを開けません．\r\n%1").arg(fileName));
    setPicture(file.readAll());
}

// Without Stretch the picture keeps its own size: a larger picture loses its right and bottom
// parts, a smaller one narrows the rectangle. The result is drawn to fill the scaled rectangle.
void TLRImage::PrintItem(QPainter &surface, const TLRRect &rect, TPrintStatus status, double scale)
{
    if (status != TPrintStatus::stNormal || m_picture.isNull())
        return;
    QImage bitmap = m_picture;
    TLRRect target = rect;
    if (!Stretch) {
        const int width = std::min(rect.width(), bitmap.width());
        const int height = std::min(rect.height(), bitmap.height());
        if (width < bitmap.width() || height < bitmap.height())
            bitmap = bitmap.copy(0, 0, width, height);
        target.Right = target.Left + width;
        target.Bottom = target.Top + height;
    }
    surface.save();
    surface.setRenderHint(QPainter::SmoothPixmapTransform, false);
    surface.drawImage(scaleRect(target, scale).toQRect(), bitmap);
    surface.restore();
}

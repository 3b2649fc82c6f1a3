#pragma once
// A picture on the page (the seal impression, the receipt's border): a bitmap or a JPEG image,
// drawn at its own size (cut to the item) or stretched to the item's rectangle.
#include "report/engine/TCustomLRItem.h"

#include <QImage>

class TLRImage : public TCustomLRItem
{
    Q_OBJECT
public:
    explicit TLRImage(QObject *parent = nullptr);

    bool Stretch = false;

    // Takes the bytes of a picture file; an empty array empties the picture. Anything but a whole
    // bitmap or JPEG image raises AppError and leaves the picture as it was.
    void setPicture(const QByteArray &fileBytes);
    // A picture already decoded in memory (the seal from the own-company row); a null image
    // empties the picture.
    void setPicture(const QImage &image);
    void loadPicture(const QString &fileName);
    void clearPicture() { m_picture = QImage(); }
    const QImage &Picture() const { return m_picture; }

    void PrintItem(QPainter &surface, const TLRRect &rect, TPrintStatus status, double scale) override;

private:
    QImage m_picture;
};

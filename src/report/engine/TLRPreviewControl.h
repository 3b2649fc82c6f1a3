#pragma once
// The preview of a report: renders pages of the root onto the page bitmap, stores them in the
// page store and shows one stored page at a time. Pages are numbered from 1.
#include "report/engine/TLRPageStore.h"

#include <QImage>
#include <QObject>
#include <QPointer>

class TLightRep;

enum class TLRPixelFormat { pf4bit, pf8bit, pf24bit, pf32bit };

class TLRPreviewControl : public QObject
{
    Q_OBJECT
public:
    explicit TLRPreviewControl(QObject *parent = nullptr);
    ~TLRPreviewControl() override;

    QPointer<TLightRep> LightRep;
    // Kept for the layouts that set it; pages are rendered in 32 bits and stored losslessly.
    TLRPixelFormat PixelFormat = TLRPixelFormat::pf8bit;

    // A new temporary file, a white page bitmap and the root's BeginPreview.
    void Start();
    // Shows the stored image after the one on display, or renders, stores and shows a new page.
    void ShowNextPage();
    // Renders and stores one more page without showing it (the background steps).
    void RenderNextPage();
    // false (the caller beeps) when n is not a stored image / the page is not rendered yet.
    bool ShowImage(int n);
    bool ShowPage(int page);
    void First() { ShowImage(1); }
    void Prior() { ShowImage(m_current - 1); }
    void Next() { ShowImage(m_current + 1); }
    void Last() { ShowImage(ImageCount()); }
    bool IsFirst() const { return m_current <= 1; }
    bool IsLast() const { return ImageCount() == 0 || m_current == ImageCount(); }
    int CurrentImage() const { return m_current; }
    int ImageCount() const { return m_store.count(); }
    qint64 StoredBytes() const { return m_store.fileSize(); }
    const QImage &DisplayedImage() const { return m_displayed; }

Q_SIGNALS:
    // The image on display or the number of stored images changed.
    void changed();

private:
    int renderAndStore();

    TLRPageStore m_store;
    QImage m_bitmap;
    QImage m_displayed;
    QList<int> m_pageOfImage; // page number held by each stored image
    int m_current = 0;
};

#include "report/engine/TLRPreviewControl.h"

#include "report/engine/TLightRep.h"

#include <QPainter>

TLRPreviewControl::TLRPreviewControl(QObject *parent) : QObject(parent) {}

TLRPreviewControl::~TLRPreviewControl() = default;

void TLRPreviewControl::Start()
{
    m_store.reset();
    m_pageOfImage.clear();
    m_current = 0;
    m_displayed = QImage();
    m_bitmap = QImage(LightRep->Width(), LightRep->Height(), QImage::Format_RGB32);
    m_bitmap.fill(Qt::white);
    LightRep->BeginPreview();
    Q_EMIT changed();
}

int TLRPreviewControl::renderAndStore()
{
    {
        QPainter painter(&m_bitmap);
        LightRep->PreviewPage(painter);
    }
    m_pageOfImage.append(LightRep->PageNumber());
    return m_store.append(m_bitmap) + 1;
}

void TLRPreviewControl::ShowNextPage()
{
    if (m_current < ImageCount()) {
        ShowImage(m_current + 1);
        return;
    }
    m_current = renderAndStore();
    m_displayed = m_bitmap.copy();
    Q_EMIT changed();
}

void TLRPreviewControl::RenderNextPage()
{
    renderAndStore();
    Q_EMIT changed();
}

bool TLRPreviewControl::ShowImage(int n)
{
    if (n < 1 || n > ImageCount())
        return false;
    if (n != m_current) {
        m_displayed = m_store.read(n - 1);
        m_current = n;
    }
    Q_EMIT changed();
    return true;
}

bool TLRPreviewControl::ShowPage(int page)
{
    const int index = static_cast<int>(m_pageOfImage.indexOf(page));
    return index >= 0 && ShowImage(index + 1);
}

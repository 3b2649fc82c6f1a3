#pragma once
// A drawing surface that measures like a 96-dpi page and keeps nothing: pages that must be laid
// out (so their events move the data on) but not output are rendered onto it.
#include <memory>
#include <QPaintDevice>
#include <QPaintEngine>

class LRDiscardingEngine : public QPaintEngine
{
public:
    LRDiscardingEngine();
    bool begin(QPaintDevice *) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState &) override {}
    void drawRects(const QRect *, int) override {}
    void drawRects(const QRectF *, int) override {}
    void drawLines(const QLine *, int) override {}
    void drawLines(const QLineF *, int) override {}
    void drawEllipse(const QRectF &) override {}
    void drawEllipse(const QRect &) override {}
    void drawPath(const QPainterPath &) override {}
    void drawPoints(const QPointF *, int) override {}
    void drawPoints(const QPoint *, int) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}
    void drawPolygon(const QPoint *, int, PolygonDrawMode) override {}
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawTextItem(const QPointF &, const QTextItem &) override {}
    void drawTiledPixmap(const QRectF &, const QPixmap &, const QPointF &) override {}
    void drawImage(const QRectF &, const QImage &, const QRectF &, Qt::ImageConversionFlags) override {}
    Type type() const override { return User; }
};

class LRNullDevice : public QPaintDevice
{
public:
    // size: the page size in pixels the device reports (layout units at 96 dpi).
    explicit LRNullDevice(QSize size = {794, 1123}, std::unique_ptr<QPaintEngine> engine = nullptr);
    ~LRNullDevice() override;
    QPaintEngine *paintEngine() const override { return m_engine.get(); }

protected:
    int metric(PaintDeviceMetric metric) const override;

private:
    QSize m_size;
    std::unique_ptr<QPaintEngine> m_engine;
};

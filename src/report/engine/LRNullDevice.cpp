#include "report/engine/LRNullDevice.h"

LRDiscardingEngine::LRDiscardingEngine() : QPaintEngine(AllFeatures) {}

LRNullDevice::LRNullDevice(QSize size, std::unique_ptr<QPaintEngine> engine)
    : m_size(size), m_engine(engine ? std::move(engine) : std::make_unique<LRDiscardingEngine>())
{
}

LRNullDevice::~LRNullDevice() = default;

int LRNullDevice::metric(PaintDeviceMetric metric) const
{
    switch (metric) {
    case PdmWidth:
        return m_size.width();
    case PdmHeight:
        return m_size.height();
    case PdmWidthMM:
        return m_size.width() * 254 / 960;
    case PdmHeightMM:
        return m_size.height() * 254 / 960;
    case PdmDpiX:
    case PdmDpiY:
    case PdmPhysicalDpiX:
    case PdmPhysicalDpiY:
        return 96;
    case PdmNumColors:
        return 2;
    case PdmDepth:
        return 1;
    case PdmDevicePixelRatio:
        return 1;
    case PdmDevicePixelRatioScaled:
        return static_cast<int>(devicePixelRatioFScale());
    }
    return 0;
}

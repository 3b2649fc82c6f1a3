#include "ReportTestSupport.h"

#include <QBuffer>

namespace {

// Paint engine that appends the text of every drawn text item to the current sheet.
class TextRecordingEngine : public LRDiscardingEngine
{
public:
    explicit TextRecordingEngine(QStringList &sheets) : m_sheets(sheets) {}
    void drawTextItem(const QPointF &, const QTextItem &item) override
    {
        if (!m_sheets.isEmpty())
            m_sheets.last().append(item.text());
    }

private:
    QStringList &m_sheets;
};

} // namespace

QByteArray encodedImage(const QImage &image, const char *format, int quality)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, quality);
    return bytes;
}

RecordingPrintTarget::~RecordingPrintTarget()
{
    if (m_painter.isActive())
        m_painter.end();
}

bool RecordingPrintTarget::applyPaper(TPaperSize p, TPrinterOrientation o)
{
    paper = p;
    orientation = o;
    return acceptPaper;
}

void RecordingPrintTarget::beginJob(const QString &title)
{
    jobTitle = title;
    sheets = QStringList{QString()};
    const QSize page(794 * m_dpi / 96, 1123 * m_dpi / 96);
    m_device = std::make_unique<LRNullDevice>(page, std::make_unique<TextRecordingEngine>(sheets));
    m_painter.begin(m_device.get());
}

void RecordingPrintTarget::endJob()
{
    m_painter.end();
    ++jobsEnded;
}

PagedReport::PagedReport(int recordCount) : records(recordCount)
{
    header = new TLRLayoutPanel(&root);
    header->setBounds(0, 0, 100, 40);
    pageText = new TLRItem(header);
    pageText->setBounds(0, 0, 200, 20);
    header->BeforePrint = [this](TLRControl *, const TLRRect &, TPrintStatus &) {
        ++rendered;
        pageText->Text = QStringLiteral("page %1;").arg(current + 1);
    };
    header->AfterPrint = [this](TLRControl *) { ++current; };
}

QImage paintedImage(QSize size, const std::function<void(QPainter &)> &paint)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    paint(painter);
    return image;
}

QImage previewImage(TLightRep &rep)
{
    return paintedImage(QSize(rep.Width(), rep.Height()), [&](QPainter &p) { rep.PreviewPage(p); });
}

QString recordedText(const std::function<void(QPainter &)> &paint)
{
    QStringList texts{QString()};
    LRNullDevice device({794, 1123}, std::make_unique<TextRecordingEngine>(texts));
    QPainter painter(&device);
    paint(painter);
    painter.end();
    return texts.join(QString());
}

bool isDark(const QImage &image, int x, int y)
{
    return image.valid(x, y) && qGray(image.pixel(x, y)) < 128;
}

int darkPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += isDark(image, x, y) ? 1 : 0;
    return count;
}

QList<int> darkRowsAt(const QImage &image, int x, int fromY, int toY)
{
    QList<int> rows;
    for (int y = fromY; y <= toY; ++y)
        if (isDark(image, x, y))
            rows.append(y);
    return rows;
}

QList<int> darkColumnsAt(const QImage &image, int y, int fromX, int toX)
{
    QList<int> cols;
    for (int x = fromX; x <= toX; ++x)
        if (isDark(image, x, y))
            cols.append(x);
    return cols;
}

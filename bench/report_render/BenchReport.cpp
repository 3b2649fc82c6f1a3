#include "BenchReport.h"

#include "report/engine/TLightRep.h"
#include "report/engine/TLRImage.h"
#include "report/engine/TLRItemR.h"
#include "report/engine/TLRPanels.h"
#include "report/engine/TLRVariableText.h"

#include <QBuffer>
#include <QLocale>
#include <QPainter>

namespace {

const QColor kTheme(0, 102, 51);
const QColor kPale(204, 255, 204);

TLRItem *addItem(QObject *parent, int left, int top, int width, int height, const QString &text = {})
{
    auto *item = new TLRItem(parent);
    item->setBounds(left, top, width, height);
    item->setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 12));
    item->Text = text;
    return item;
}

} // namespace

QByteArray makeSealJpeg()
{
    QImage seal(300, 300, QImage::Format_RGB32);
    seal.fill(Qt::white);
    {
        QPainter p(&seal);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(QColor(200, 0, 0), 14));
        p.drawEllipse(QRect(20, 20, 260, 260));
        QFont font(QStringLiteral("IPAMincho"));
        font.setPixelSize(90);
        p.setFont(font);
        p.drawText(QRect(20, 20, 260, 260), Qt::AlignCenter, QStringLiteral("角目\n商店"));
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    seal.save(&buffer, "JPEG", 90);
    return bytes;
}

BenchReportWindow::BenchReportWindow(int pages, const QByteArray &sealJpeg)
{
    setWindowTitle(QStringLiteral("御見積書"));
    auto owned = std::make_unique<BenchData>(pages);
    data = owned.get();
    dsMast.setDataSet(std::move(owned));
    LightRep1->setMarginLeft(74);
    buildHeader(sealJpeg);
    buildDetail();
    buildRemarks();
}

void BenchReportWindow::buildHeader(const QByteArray &sealJpeg)
{
    auto *header = new TLRLayoutPanel(LightRep1);
    header->setBounds(75, 37, 682, 332);
    auto *title = addItem(header, 360, 0, 321, 41, QStringLiteral("御　見　積　書"));
    title->setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 24, true, Qt::white));
    title->Transparent = false;
    title->setColor(kTheme);
    title->Alignment = TAlignment::taCenter;
    title->setVMargin(8);
    auto *number = addItem(header, 544, 45, 137, 17);
    number->Alignment = TAlignment::taRightJustify;
    auto *customer = addItem(header, 0, 100, 361, 25);
    customer->setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 16));
    customer->LineBottom = TLineStyle::lsDouble;
    customer->LineColor = kTheme;
    auto *total = new TLRItemR(header);
    total->setBounds(0, 296, 361, 25);
    total->setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 16));
    total->Transparent = false;
    total->setColor(kPale);
    total->setLines(TLineStyle::lsSingle);
    total->LineColor = kTheme;
    total->setRoundSize(5);
    total->setAllCornersRound(true);
    total->setVMargin(4);
    auto *seal = new TLRImage(header);
    seal->setBounds(576, 96, 73, 73);
    seal->Stretch = true;
    seal->setPicture(sealJpeg);
    header->BeforePrint = [this, number, customer, total](TLRControl *, const TLRRect &, TPrintStatus &) {
        number->Text = QStringLiteral("見積№：M-%1").arg(data->index + 1, 6, 10, QLatin1Char('0'));
        customer->Text = QStringLiteral("株式会社サンプル商事 第%1営業所　御中").arg(data->index + 1);
        total->Text = QStringLiteral("合計金額：¥%1-")
                          .arg(QLocale(QLocale::Japanese, QLocale::Japan).toString(123456 + data->index));
    };
}

void BenchReportWindow::buildDetail()
{
    auto *grid = new TLRGridPanel(LightRep1);
    grid->setBounds(75, 397, 682, 560);
    grid->setLRAlign(TLRAlign::laClient);
    grid->setRowCount(20);
    struct Column
    {
        int left, width;
        TAlignment alignment;
    };
    const Column columns[] = {{0, 330, TAlignment::taLeftJustify},
                              {330, 72, TAlignment::taRightJustify},
                              {402, 50, TAlignment::taCenter},
                              {452, 110, TAlignment::taRightJustify},
                              {562, 115, TAlignment::taRightJustify}};
    QList<TLRItem *> cells;
    for (const Column &c : columns) {
        TLRItem *cell = addItem(grid, c.left, 0, c.width, 28);
        cell->Alignment = c.alignment;
        cell->setHMargin(7);
        cell->setVMargin(7);
        cell->setLines(TLineStyle::lsSingle);
        cell->LineColor = kTheme;
        cell->Transparent = false;
        cells.append(cell);
    }
    grid->OnPrintPanel = [this, cells](TLRControl *, int, int row, const TLRRect &, TPrintStatus &) {
        const int n = data->index * 20 + row + 1;
        for (TLRItem *cell : cells)
            cell->setColor(row % 2 ? kPale : Qt::white);
        cells[0]->Text = QStringLiteral("業務用ステンレス製作業台（引出し付き）型番 KD-%1 特注仕様").arg(n);
        cells[1]->Text = QString::number(n % 37 + 1);
        cells[2]->Text = QStringLiteral("台");
        cells[3]->Text = QLocale(QLocale::Japanese, QLocale::Japan).toString(12800 + n * 10);
        cells[4]->Text = QLocale(QLocale::Japanese, QLocale::Japan).toString((n % 37 + 1) * (12800 + n * 10));
    };
    grid->AfterPrint = [this](TLRControl *) { ++data->index; };
}

void BenchReportWindow::buildRemarks()
{
    auto *remarks = new TLRLayoutPanel(LightRep1);
    remarks->setBounds(75, 957, 682, 129);
    remarks->setLRAlign(TLRAlign::laBottom);
    auto *frame = new TLRItemR(remarks);
    frame->setBounds(0, 21, 677, 100);
    frame->setLines(TLineStyle::lsSingle);
    frame->LineColor = kTheme;
    frame->setRoundSize(5);
    frame->setAllCornersRound(true);
    auto *text = new TLRVariableText(remarks);
    text->setBounds(5, 27, 667, 89);
    text->setFont(TLRFont(QStringLiteral("ＭＳ ゴシック"), 12));
    text->Text = QStringLiteral(
        "お見積りの有効期限は発行日より三十日間とさせていただきます。納期はご注文確定後、"
        "約二週間を予定しております。\r\n\r\n送料は別途申し受けます。ご不明な点がございましたら、"
        "担当者までお気軽にお問い合わせください。Tel 03-1234-5678 / Fax 03-1234-5679");
}

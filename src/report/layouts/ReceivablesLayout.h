#pragma once
// The list of receivables (売掛金残高一覧) on A4 portrait. Every page has the title, the as-of day
// and the own company's name at its head, the column headings under them, up to 40 customer rows,
// and "page / pages" at its foot; the total row follows the last customer. A text wider than its
// column is printed smaller, and cut with "…" when even the smallest size is too wide, so that it
// never runs into the next column. The layout prints the rows it is given and reads nothing
// itself: it renders without a window or a database.
#include "report/layouts/LRItemTable.h"

#include <functional>
#include <memory>
#include <optional>
#include <QDate>
#include <QImage>
#include <QList>
#include <QObject>
#include <QString>

class TLightRep;
class TLRItem;
class TLRMasterData;

// What the list prints.
struct ReceivablesSheet
{
    struct Row
    {
        QString code;
        QString name;
        qint64 previousInvoice = 0; // 前回請求額
        qint64 payments = 0;        // 入金額
        qint64 unbilledSales = 0;   // 未請求売上
        qint64 balance = 0;         // 残高
        QDate lastClosing;          // 最終締日; none when null
        std::optional<int> daysUnpaid;
    };

    QDate asOf;
    QString company;
    QList<Row> rows;
    Row total;
};

class ReceivablesLayout : public QObject
{
    Q_OBJECT
public:
    static constexpr int kRowsPerPage = 40;

    explicit ReceivablesLayout(TLightRep &root, QObject *parent = nullptr);
    ~ReceivablesLayout() override;

    TLightRep &root() const { return m_root; }
    const LRItemIndex &items() const { return m_items; }
    static QString title();

    // The sheet to print; the next page is its first.
    void setSheet(ReceivablesSheet sheet);
    const ReceivablesSheet &sheet() const { return m_sheet; }

    // The pages of the rows and the total row, kRowsPerPage to a page; at least one.
    int pageCount() const;
    // The next page to print is the first again.
    void first() { m_page = 0; }
    // True once the last page has been printed.
    bool dataEnd() const { return m_page >= pageCount(); }
    // The layout as a report window's master data: opening it and moving to its first record go
    // back to the first page, its end is dataEnd.
    std::unique_ptr<TLRMasterData> masterData();

    // Without a window, from the first page: every page at scale 1.0 over white, or one print job
    // into the PDF file (written only when the whole job has been rendered).
    QList<QImage> renderPages();
    void printPdf(const QString &path, int resolution = 600);

private:
    void fillHead();
    void printRow(int row, TPrintStatus &status);
    void fillCells(const ReceivablesSheet::Row &row, bool isTotal);

    TLightRep &m_root;
    LRItemIndex m_items;
    LRTableStyle m_style;
    QList<TLRItem *> m_cells; // the detail cells, in the order of the columns
    ReceivablesSheet m_sheet;
    int m_page = 0; // the page printed next, from 0
};

// Sets the item's text in its own font, or smaller when the text is wider than the item's room
// (down to 8 units), cut with "…" when it is wider still.
void fitText(TLRItem &item, const QString &text, const TLRFont &font);

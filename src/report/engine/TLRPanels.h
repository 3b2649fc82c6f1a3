#pragma once
// The panels of a report layout. A layout panel prints its items and inner panels where they
// were put; a grid panel prints its cell template once per cell, raising an event per cell so the
// layout can fill the template's items from the current detail record.
#include "report/engine/TLRControl.h"

#include <functional>

class QPainter;

using TNotifyEvent = std::function<void(TLRControl *sender)>;
using TBeforePrintEvent = std::function<void(TLRControl *sender, const TLRRect &rect, TPrintStatus &status)>;
using TPrintPanelEvent =
    std::function<void(TLRControl *sender, int col, int row, const TLRRect &rect, TPrintStatus &status)>;

class TCustomLRPanel : public TLRControl
{
    Q_OBJECT
public:
    // rect: the panel's rectangle on the page in layout units.
    virtual void PrintPanel(QPainter &surface, const TLRRect &rect, double scale);

protected:
    TCustomLRPanel();
    // Draws the enabled items and prints the enabled inner panels of `container`, each moved by
    // the corner of `rect`.
    static void printContents(TLRControl &container, QPainter &surface, const TLRRect &rect,
                              TPrintStatus status, double scale);
};

class TLRLayoutPanel : public TCustomLRPanel
{
    Q_OBJECT
public:
    explicit TLRLayoutPanel(QObject *parent = nullptr);

    TNotifyEvent AfterPrint;
    TBeforePrintEvent BeforePrint;

    void PrintPanel(QPainter &surface, const TLRRect &rect, double scale) override;

protected:
    QObject *acceptParent(QObject *candidate) override;
};

// The cell template of a grid panel: it holds the items printed in every cell.
class TLRChildPanel : public TCustomLRPanel
{
    Q_OBJECT
public:
    explicit TLRChildPanel(QObject *parent = nullptr);

    TNotifyEvent AfterPrint;
    TBeforePrintEvent BeforePrint;

protected:
    QObject *acceptParent(QObject *candidate) override;
};

class TLRGridPanel : public TCustomLRPanel
{
    Q_OBJECT
    TLRChildPanel *const m_cell;

public:
    explicit TLRGridPanel(QObject *parent = nullptr);

    TNotifyEvent AfterPrint;
    TBeforePrintEvent BeforePrint;
    TPrintPanelEvent OnPrintPanel;
    // The cell template's events.
    TNotifyEvent &AfterPrintPanel;
    TBeforePrintEvent &BeforePrintPanel;

    TLRChildPanel *CellPanel() const { return m_cell; }

    int ColCount() const { return m_colCount; }
    int RowCount() const { return m_rowCount; }
    // Raise ELRError when a column or row would be narrower than 10 units.
    void setColCount(int value);
    void setRowCount(int value);
    TPrintDirection PrintDirection() const { return m_direction; }
    void setPrintDirection(TPrintDirection d) { m_direction = d; }

    void PrintPanel(QPainter &surface, const TLRRect &rect, double scale) override;

protected:
    QObject *acceptParent(QObject *candidate) override;
    void resized() override;

private:
    void printCell(QPainter &surface, const TLRRect &rect, int col, int row, double scale);

    int m_colCount = 1;
    int m_rowCount = 1;
    TPrintDirection m_direction = TPrintDirection::pdHorz;
};

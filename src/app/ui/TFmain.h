#pragma once
// The main window: six pages (estimates, delivery notes, payments, invoices, settings, receivables),
// each document page with its command buttons and its list; the start-up sequence runs when it is
// shown.
#include "controls/TForm1.h"
#include "data/ConnectionSettings.h"

class ExtractionPanel;
class QComboBox;
class QTabWidget;
class QMenu;
class QMenuBar;
class ReceivablesPage;
class TDBGridEx;
class TEngineQuery;
class TFlatButton;

class TFmain : public TForm1
{
    Q_OBJECT
public:
    explicit TFmain(QWidget *parent = nullptr);
    ~TFmain() override;

    ConnectionSettings Settings;

    QTabWidget *PageControl1 = nullptr;
    TEngineQuery *Qmitumori = nullptr;
    TEngineQuery *Qnohin = nullptr;
    TEngineQuery *Qnyukin = nullptr;
    TEngineQuery *Qseikyu = nullptr;
    TDBGridEx *MitumoriGrid = nullptr;
    TDBGridEx *NohinGrid = nullptr;
    TDBGridEx *NyukinGrid = nullptr;
    TDBGridEx *SeikyuGrid = nullptr;
    QComboBox *NyukinSiharaiHoho = nullptr;
    ReceivablesPage *UrikakePage = nullptr;

    TFlatButton *button(const QString &objectName) const;
    // Marks a command whose window exists: its button becomes usable.
    void enableCommand(const QString &objectName);

    // Opened by the commands; later windows register themselves here.
    void DB1Click();
    void JisyaJyohoBTNClick();
    void QnohinAfterScroll();
    // The four document lists extracted by one customer, the invoice page in front.
    void openCustomerDocuments(int customerKey, const QString &name);

    // Opens a list that is not open yet and moves it to its last row.
    static void openAtLast(TEngineQuery *query);

Q_SIGNALS:
    // The start-up sequence after the first show has ended; false when it failed at a step.
    void startUpFinished(bool succeeded);

protected:
    void FormShow() override;
    void FormClose() override;

private:
    void buildMenu(QMenuBar *menu);
    void buildPages();
    QWidget *documentPage(const QList<QPair<const char *, QString>> &buttons, TDBGridEx *grid,
                          QWidget *extraction);
    QWidget *settingsPage();
    TFlatButton *makeButton(const char *name, const QString &caption, QWidget *parent);
    void setUpLists();
    void connectCommands();
    void startUp();
    void openLists();
    bool captionAmounts();
    void fillPaymentMethods();

    QList<ExtractionPanel *> m_panels; // of the estimate, delivery-note, payment and invoice pages
    bool m_startedUp = false;
    QMenu *m_dataMenu = nullptr;
};

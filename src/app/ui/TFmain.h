#pragma once
// The main window: five pages (estimates, delivery notes, payments, invoices, settings), each
// document page with its command buttons and its list; the start-up sequence runs when it is shown.
#include "controls/TForm1.h"
#include "data/ConnectionSettings.h"

class QComboBox;
class QTabWidget;
class QMenu;
class QMenuBar;
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

    TFlatButton *button(const QString &objectName) const;
    // Marks a command whose window exists: its button becomes usable.
    void enableCommand(const QString &objectName);

    // Opened by the commands; later windows register themselves here.
    void DB1Click();
    void JisyaJyohoBTNClick();
    void QnohinAfterScroll();

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

    bool m_startedUp = false;
    QMenu *m_dataMenu = nullptr;
};

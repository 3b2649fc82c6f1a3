#include "app/ui/TFmain.h"

#include "app/MainLists.h"
#include "app/ui/BackupCommands.h"
#include "app/ui/DeletionCommands.h"
#include "app/ui/EstimateCommands.h"
#include "app/ui/ExtractionPanel.h"
#include "app/ui/InvoiceCommands.h"
#include "app/ui/PaymentCommands.h"
#include "app/ui/TFreadMe.h"
#include "app/ui/TFversion.h"
#include "billing/PaymentStore.h"
#include "billing/ui/ReceivablesPage.h"
#include "common/Version.h"
#include "controls/HelpCommand.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/AppPaths.h"
#include "data/IniFile.h"
#include "data/TDMdata.h"
#include "data/ui/TFDBSetting.h"
#include "data/ui/TFsql.h"
#include "documents/ui/TFmitumoriSettei.h"
#include "documents/ui/TFnohinSettei.h"
#include "documents/ui/TFryosyusyouSettei.h"
#include "documents/ui/TFseikyuSettei.h"
#include "masters/OwnCompanyStore.h"
#include "masters/ui/TFjisyaJyoho.h"
#include "masters/ui/TFsyohinMaster.h"
#include "masters/ui/TFtorihikisakiMaster.h"
#include "masters/ui/TFyubinLoad.h"
#include "report/ui/TLRurikakekin.h"

#include <QComboBox>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenuBar>
#include <QTabWidget>
#include <QTimer>

namespace {

// Heights of the command buttons on the document pages and on the settings page.
constexpr int kDocumentButtonTops[] = {24, 88, 152, 216, 280, 344};

} // namespace

TFmain::TFmain(QWidget *parent) : TForm1(QStringLiteral("Fmain"), parent)
{
    setWindowTitle(QStringLiteral("Kadomel"));
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    // Only "終　了", "終了(&X)" and the close box end the program.
    setClosesOnEscape(false);
    if (!DMdata)
        new TDMdata(this);
    Qmitumori = new TEngineQuery(DMdata->DataDB, this);
    Qnohin = new TEngineQuery(DMdata->DataDB, this);
    Qnyukin = new TEngineQuery(DMdata->DataDB, this);
    Qseikyu = new TEngineQuery(DMdata->DataDB, this);
    setUpLists();

    auto *menu = new QMenuBar(this);
    buildMenu(menu);
    layout()->setMenuBar(menu);
    buildPages();
    connectCommands();
    resize(876, 566);
}

// Each command opens its window modally; the window lives only while it is shown.
template<typename Window> static void openModal(QWidget *parent)
{
    Window window(parent);
    window.exec();
}

void TFmain::connectCommands()
{
    const QList<std::pair<const char *, void (*)(QWidget *)>> commands{
        {"SyohinMasterBTN", &openModal<TFsyohinMaster>},
        {"TorihikisakiMasterBTN", &openModal<TFtorihikisakiMaster>},
        {"YubinBTN", &openModal<TFyubinLoad>},
        {"MitumoriSetteiBTN", &openModal<TFmitumoriSettei>},
        {"NohinSetteiBTN", &openModal<TFnohinSettei>},
        {"SeikyuSetteiBTN", &openModal<TFseikyuSettei>},
        {"RyosyusyouSetteiBTN", &openModal<TFryosyusyouSettei>},
    };
    for (const auto &[name, open] : commands) {
        enableCommand(QLatin1String(name));
        connect(button(QLatin1String(name)), &QPushButton::clicked, this,
                [this, open] { Messages::guarded(this, [this, open] { open(this); }); });
    }
    enableCommand(QStringLiteral("JisyaJyohoBTN"));
    connect(button(QStringLiteral("JisyaJyohoBTN")), &QPushButton::clicked, this,
            [this] { Messages::guarded(this, [this] { JisyaJyohoBTNClick(); }); });
    connectPaymentCommands(*this);
    connectDeletionCommands(*this);
    connectEstimateCommands(*this);
    connectInvoiceCommands(*this);
    m_dataMenu->addSeparator();
    addCsvCommands(*this, m_dataMenu);
}

// The lists close while the window is whole: closing the delivery-note list runs this window's
// rule, and the database, which would close them otherwise, may outlive the window.
TFmain::~TFmain()
{
    disconnect(Qnohin, nullptr, this, nullptr);
    for (TEngineQuery *query : {Qmitumori, Qnohin, Qnyukin, Qseikyu})
        query->Close();
}

void TFmain::buildMenu(QMenuBar *menu)
{
    QMenu *file = menu->addMenu(QStringLiteral("ﾌｧｲﾙ(&F)"));
    QAction *db = file->addAction(QStringLiteral("DB接続..."), this, &TFmain::DB1Click);
    db->setObjectName(QStringLiteral("DB1"));
    addBackupCommands(*this, file);
    file->addSeparator();
    file->addAction(QStringLiteral("終了(&X)"), this, &QWidget::close)
        ->setObjectName(QStringLiteral("Exit1"));

    QMenu *data = menu->addMenu(QStringLiteral("ﾃﾞｰﾀ(&D)"));
    m_dataMenu = data;
    data->addSeparator();
    QAction *sql = data->addAction(QStringLiteral("SQLｳｨﾝﾄﾞｳ...(&Q)"));
    sql->setObjectName(QStringLiteral("SQLQ1"));
    connect(sql, &QAction::triggered, this,
            [this] { Messages::guarded(this, [this] { openModal<TFsql>(this); }); });

    QMenu *help = menu->addMenu(QStringLiteral("ﾍﾙﾌﾟ(&H)"));
    help->addAction(QStringLiteral("ﾍﾙﾌﾟ(&H)"), this, [this] { HelpCommand::showHelp(this); })
        ->setObjectName(QStringLiteral("Help2"));
    help->addAction(QStringLiteral("お読みください"), this, [this] { openModal<TFreadMe>(this); })
        ->setObjectName(QStringLiteral("N5"));
    help->addSeparator();
    help->addAction(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報..."), this, [this] { openModal<TFversion>(this); })
        ->setObjectName(QStringLiteral("About1"));
}

TFlatButton *TFmain::makeButton(const char *name, const QString &caption, QWidget *parent)
{
    auto *b = new TFlatButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    return b;
}

TFlatButton *TFmain::button(const QString &objectName) const
{
    return findChild<TFlatButton *>(objectName);
}

void TFmain::enableCommand(const QString &objectName)
{
    TFlatButton *b = button(objectName);
    b->setProperty("commandReady", true);
    b->setEnabled(true);
    if (objectName == QLatin1String("Nohin2SeikyuBTN"))
        QnohinAfterScroll();
}

QWidget *TFmain::documentPage(const QList<QPair<const char *, QString>> &buttons, TDBGridEx *grid,
                              QWidget *extraction)
{
    auto *page = new QWidget;
    auto *row = new QHBoxLayout(page);
    row->setContentsMargins(0, 0, 0, 0);
    auto *picture = new QFrame(page);
    picture->setFixedWidth(201);
    picture->setMinimumHeight(400);
    picture->setAutoFillBackground(true);
    QPalette p = picture->palette();
    p.setColor(QPalette::Window, QColor(0xd8, 0xe4, 0xf0));
    picture->setPalette(p);
    for (int i = 0; i < buttons.size(); ++i) {
        TFlatButton *b = makeButton(buttons[i].first, buttons[i].second, picture);
        b->setGeometry(16, kDocumentButtonTops[i], 169, 41);
        b->setEnabled(false); // each command comes with its window
    }
    row->addWidget(picture);
    auto *right = new QVBoxLayout;
    if (extraction)
        right->addWidget(extraction);
    right->addWidget(grid, 1);
    row->addLayout(right, 1);
    return page;
}

QWidget *TFmain::settingsPage()
{
    auto *page = new QWidget;
    page->setMinimumHeight(320);
    const QList<std::tuple<const char *, QString, int>> buttons{
        {"JisyaJyohoBTN", QStringLiteral("自社情報設定"), 24},
        {"SyohinMasterBTN", QStringLiteral("商品マスター"), 96},
        {"TorihikisakiMasterBTN", QStringLiteral("取引先マスター"), 176},
        {"YubinBTN", QStringLiteral("郵便番号データ読み込み"), 256}};
    for (const auto &[name, caption, top] : buttons) {
        TFlatButton *b = makeButton(name, caption, page);
        b->setGeometry(24, top, 169, 41);
        b->setEnabled(false);
    }
    return page;
}

void TFmain::buildPages()
{
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    MitumoriGrid = new TDBGridEx(this);
    MitumoriGrid->setObjectName(QStringLiteral("MitumoriGrid"));
    NohinGrid = new TDBGridEx(this);
    NohinGrid->setObjectName(QStringLiteral("NohinGrid"));
    NyukinGrid = new TDBGridEx(this);
    NyukinGrid->setObjectName(QStringLiteral("NyukinGrid"));
    SeikyuGrid = new TDBGridEx(this);
    SeikyuGrid->setObjectName(QStringLiteral("SeikyuGrid"));
    QFont title(QStringLiteral("ＭＳ Ｐゴシック"));
    title.setPixelSize(15);
    for (TDBGridEx *grid : {MitumoriGrid, NohinGrid, NyukinGrid, SeikyuGrid})
        grid->horizontalHeader()->setFont(title);
    MitumoriGrid->setQuery(Qmitumori);
    NohinGrid->setQuery(Qnohin);
    NyukinGrid->setQuery(Qnyukin);
    SeikyuGrid->setQuery(Qseikyu);

    m_panels = {new ExtractionPanel(Extraction::Page::Estimates, Qmitumori, this),
                new ExtractionPanel(Extraction::Page::DeliveryNotes, Qnohin, this),
                new ExtractionPanel(Extraction::Page::Payments, Qnyukin, this),
                new ExtractionPanel(Extraction::Page::Invoices, Qseikyu, this)};
    NyukinSiharaiHoho = m_panels[2]->paymentMethods();

    auto add = [this](QWidget *page, const char *name, const QString &caption) {
        page->setObjectName(QLatin1String(name));
        PageControl1->addTab(page, caption);
    };
    add(documentPage({{"MitumoriSakuseiBTN", QStringLiteral("見積書作成")},
                      {"MitumoriSyuseiBTN", QStringLiteral("見積書修正")},
                      {"MitumoriSakujyoBTN", QStringLiteral("見積書削除")},
                      {"MitumoriInsatuBTN", QStringLiteral("見積書印刷")},
                      {"MitumoriSetteiBTN", QStringLiteral("見積書設定")},
                      {"Mitumori2NohinBTN", QStringLiteral("見積書から納品書作成")}},
                     MitumoriGrid, m_panels[0]),
        "TabSheet1", QStringLiteral("見積書"));
    add(documentPage({{"NohinSakuseiBTN", QStringLiteral("納品書作成")},
                      {"NohinSyuseiBTN", QStringLiteral("納品書修正")},
                      {"NohinSakujyoBTN", QStringLiteral("納品書削除")},
                      {"NohinInsatuBTN", QStringLiteral("納品書印刷")},
                      {"NohinSetteiBTN", QStringLiteral("納品書設定")},
                      {"Nohin2SeikyuBTN", QStringLiteral("納品書から請求書作成")}},
                     NohinGrid, m_panels[1]),
        "TabSheet2", QStringLiteral("納品書"));
    add(documentPage({{"NyukinTorokuBTN", QStringLiteral("入金登録")},
                      {"NyukinSyuseiBTN", QStringLiteral("入金修正")},
                      {"NyukinSakujyoBTN", QStringLiteral("入金削除")},
                      {"RyosyuInsatuBTN", QStringLiteral("領収証印刷")},
                      {"RyosyusyouSetteiBTN", QStringLiteral("領収証設定")}},
                     NyukinGrid, m_panels[2]),
        "TabSheet4", QStringLiteral("入金処理"));
    add(documentPage({{"SeikyusyoDataBTN", QStringLiteral("請求書データ作成")},
                      {"SeikyuIkkatuInsatuBTN", QStringLiteral("請求書一括印刷")},
                      {"SeikyuInsatuBTN", QStringLiteral("請求書印刷")},
                      {"SeikyuDelBTN", QStringLiteral("請求書削除")},
                      {"SeikyuSetteiBTN", QStringLiteral("請求書設定")}},
                     SeikyuGrid, m_panels[3]),
        "TabSheet3", QStringLiteral("請求書"));
    add(settingsPage(), "TabSheet5", QStringLiteral("各種設定"));
    UrikakePage = new ReceivablesPage(DMdata->DataDB, this);
    add(UrikakePage, "TabSheet6", QStringLiteral("売掛・売上"));
    connect(UrikakePage, &ReceivablesPage::customerOpened, this, &TFmain::openCustomerDocuments);
    connect(UrikakePage, &ReceivablesPage::printRequested, this,
            [this](const QDate &asOf) { showReceivablesReport(this, *DMdata->DataDB, asOf); });
    bodyLayout()->addWidget(PageControl1, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch();
    TFlatButton *close = makeButton("CloseBTN", QStringLiteral("終　了"), this);
    close->setMinimumSize(100, 30);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    bottom->addWidget(close);
    bodyLayout()->addLayout(bottom);
}

void TFmain::setUpLists()
{
    Qmitumori->setObjectName(QStringLiteral("Qmitumori"));
    Qnohin->setObjectName(QStringLiteral("Qnohin"));
    Qnyukin->setObjectName(QStringLiteral("Qnyukin"));
    Qseikyu->setObjectName(QStringLiteral("Qseikyu"));
    MainLists::setUpEstimates(*Qmitumori);
    MainLists::setUpDeliveryNotes(*Qnohin);
    MainLists::setUpPayments(*Qnyukin);
    MainLists::setUpInvoices(*Qseikyu);
    connect(Qnohin, &TEngineQuery::afterScroll, this, &TFmain::QnohinAfterScroll);
    connect(Qnohin, &TEngineQuery::afterClose, this, &TFmain::QnohinAfterScroll);
}

void TFmain::QnohinAfterScroll()
{
    TFlatButton *b = button(QStringLiteral("Nohin2SeikyuBTN"));
    const bool unbilled = !Qnohin->Active() || Qnohin->IsEmpty() ||
                          Qnohin->FieldByName(QStringLiteral("SeikyuKey")).AsInteger() == 0;
    b->setEnabled(unbilled && b->property("commandReady").toBool());
}

void TFmain::openCustomerDocuments(int customerKey, const QString &name)
{
    Messages::guarded(this, [&] {
        for (ExtractionPanel *panel : m_panels)
            panel->extractCustomer(customerKey, name);
    });
    PageControl1->setCurrentWidget(findChild<QWidget *>(QStringLiteral("TabSheet3")));
}

void TFmain::FormShow()
{
    TForm1::FormShow();
    if (m_startedUp)
        return;
    m_startedUp = true;
    // Runs once the window is on the screen, so that its questions stand in front of it.
    QTimer::singleShot(0, this, [this] {
        const bool succeeded = Messages::guarded(this, [this] { startUp(); });
        Q_EMIT startUpFinished(succeeded);
    });
}

// The start-up sequence; a failure ends it at its step and is shown by the base window.
void TFmain::startUp()
{
    // A configuration file that is no text is kept beside under another name, and the start goes on
    // as the first one does, with the default settings.
    const QString setAside = IniFile::setAsideIfNotText(AppPaths::iniPath());
    if (!setAside.isEmpty())
        Messages::warning(this, IniFile::setAsideNotice(AppPaths::iniPath(), setAside));
    IniFile ini(AppPaths::iniPath());
    Settings = ConnectionSettings::read(ini);

    setStatusText(1, QStringLiteral("バージョンのチェック"));
    ini.writeString(QStringLiteral("Kadomel"), QStringLiteral("Ver"), QLatin1String(Version::kText));

    setStatusText(1, QStringLiteral("フォルダのチェック"));
    AppPaths::ensureDataFolder();

    if (!DMdata)
        new TDMdata(this);
    if (!connectAtStart(Settings, DMdata->Session1, *DMdata->DataDB))
        Messages::error(this, QStringLiteral("データベースへの接続に失敗しました"));
    if (DMdata->DataDB->Connected())
        DMdata->CheckTables([this](const QString &text) { setStatusText(1, text); });
    setStatusText(1, QStringLiteral("バックアップのチェック"));
    takeDailyBackup(*this);

    setStatusText(1, QString());
    PageControl1->setCurrentIndex(0);

    if (OwnCompanyStore::lacksName(*DMdata->DataDB)) {
        Messages::information(this, QStringLiteral("最初に自社情報を設定してください"));
        JisyaJyohoBTNClick();
    }
    openLists();
    fillPaymentMethods();
}

void TFmain::openAtLast(TEngineQuery *query)
{
    if (query->Active())
        return;
    query->Open();
    query->Last();
}

void TFmain::openLists()
{
    if (DMdata->DataDB->Connected())
        captionAmounts();
    for (TEngineQuery *q : {Qmitumori, Qnohin, Qnyukin, Qseikyu})
        openAtLast(q);
}

void TFmain::fillPaymentMethods()
{
    NyukinSiharaiHoho->clear();
    NyukinSiharaiHoho->addItem(QString());
    NyukinSiharaiHoho->addItems(PaymentStore::methodsInUse(*DMdata->DataDB));
    NyukinSiharaiHoho->setCurrentIndex(0);
}

// The own company may have turned the qualified-invoice option on or off: the amount columns say so.
void TFmain::JisyaJyohoBTNClick()
{
    openModal<TFjisyaJyoho>(this);
    if (DMdata->DataDB->Connected() && captionAmounts())
        for (TEngineQuery *q : {Qmitumori, Qnohin, Qseikyu})
            if (q->Active())
                MainLists::reopenKeepingPlace(*q);
}

// True when a title changed.
bool TFmain::captionAmounts()
{
    return MainLists::captionAmounts(*Qmitumori, *Qnohin, *Qseikyu,
                                     OwnCompanyStore::taxSettings(*DMdata->DataDB));
}

void TFmain::DB1Click()
{
    TFDBSetting dialog(Settings, *DMdata, this);
    dialog.exec();
}

void TFmain::FormClose()
{
    TForm1::FormClose();
    IniFile ini(AppPaths::iniPath());
    Settings.write(ini);
}

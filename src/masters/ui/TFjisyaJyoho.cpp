#include "masters/ui/TFjisyaJyoho.h"

#include "common/AppError.h"
#include "common/PictureBytes.h"
#include "common/ui/AddressLookup.h"
#include "common/Ukansu.h"
#include "controls/EntryFields.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "data/AppPaths.h"
#include "data/IniFile.h"
#include "data/TDMdata.h"
#include "masters/OwnCompanyStore.h"
#include "report/ui/TLRineiData.h"
#include "report/ui/TLRineiTest.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFileDialog>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

namespace {

using Kind = EntryFields::Kind;

int integerOf(const QLineEdit *edit)
{
    return FieldTextToInteger(edit->accessibleName(), edit->text());
}

} // namespace

TFjisyaJyoho::TFjisyaJyoho(QWidget *parent) : TForm1(QStringLiteral("FjisyaJyoho"), parent)
{
    setWindowTitle(QStringLiteral("自社情報"));
    setAsksBeforeDiscarding(true);
    setSizeable(false);
    auto *columns = new QHBoxLayout;
    columns->addWidget(buildCompanyFields());
    columns->addWidget(buildSealBox(), 0, Qt::AlignTop);
    bodyLayout()->addLayout(columns);
    bodyLayout()->addWidget(buildAccounts());
    bodyLayout()->addWidget(buildTaxBox());
    bodyLayout()->addLayout(buildButtonRow());
    bodyLayout()->setSizeConstraint(QLayout::SetFixedSize);
}

QLineEdit *TFjisyaJyoho::addField(QGridLayout *grid, int row, int column, const char *name,
                                  const QString &label, int kind, const char *dbColumn)
{
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(label); // also names the field in the message of a number it refuses
    EntryFields::setUp(edit, Kind(kind), dbColumn ? QStringLiteral("JisyaJyoho") : QString(),
                       dbColumn ? QLatin1String(dbColumn) : QString());
    if (!label.isEmpty())
        grid->addWidget(new QLabel(label, this), row, column);
    grid->addWidget(edit, row, column + 1);
    return edit;
}

// A short field with its button or note right after it, in the field's cell.
void TFjisyaJyoho::besideField(QGridLayout *grid, QLineEdit *field, QWidget *beside)
{
    const int at = grid->indexOf(field);
    int row = 0, column = 0, rowSpan = 0, columnSpan = 0;
    grid->getItemPosition(at, &row, &column, &rowSpan, &columnSpan);
    grid->removeWidget(field);
    auto *line = new QHBoxLayout;
    line->addWidget(field);
    line->addWidget(beside);
    line->addStretch(1);
    grid->addLayout(line, row, column);
}

QWidget *TFjisyaJyoho::buildCompanyFields()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    Yubin = addField(grid, 0, 0, "Yubin", QStringLiteral("〒"), int(Kind::DigitsOrHyphen), "Yubin");
    Yubin->setMaximumWidth(90);
    auto *lookup = new QToolButton(this);
    lookup->setObjectName(QStringLiteral("SpeedButton1"));
    lookup->setText(QStringLiteral("〒→住所"));
    connect(lookup, &QToolButton::clicked, this, [this] { lookUpAddress(this, Yubin, Jyusyo1); });
    besideField(grid, Yubin, lookup);
    Jyusyo1 = addField(grid, 1, 0, "Jyusyo1", QStringLiteral("住所１"), int(Kind::Text), "Jyusyo1");
    Jyusyo2 = addField(grid, 2, 0, "Jyusyo2", QStringLiteral("住所２"), int(Kind::Text), "Jyusyo2");
    Kaisyamei = addField(grid, 3, 0, "Kaisyamei", QStringLiteral("会社名"), int(Kind::Text), "JisyaNM");
    Busyo = addField(grid, 4, 0, "Busyo", QStringLiteral("部　署"), int(Kind::Text), "Busyo");
    Tantousya = addField(grid, 5, 0, "Tantousya", QStringLiteral("担当者"), int(Kind::Text), nullptr);
    Mail = addField(grid, 6, 0, "Mail", QStringLiteral("Mail"), int(Kind::Text), nullptr);
    Tel = addField(grid, 7, 0, "Tel", QStringLiteral("Tel"), int(Kind::DigitsOrHyphen), "Tel");
    Fax = addField(grid, 8, 0, "Fax", QStringLiteral("Fax"), int(Kind::DigitsOrHyphen), "Fax");
    Daihyosya = addField(grid, 9, 0, "Daihyosya", QStringLiteral("代表者"), int(Kind::Text), "Daihyosya");
    Simebi = addField(grid, 10, 0, "Simebi", QStringLiteral("請求締日"), int(Kind::Digits), nullptr);
    besideField(grid, Simebi, new QLabel(QStringLiteral("（月末は99）"), this));
    NendoKaisi =
        addField(grid, 11, 0, "NendoKaisi", QStringLiteral("年度開始月"), int(Kind::Digits), nullptr);
    for (QLineEdit *number : {Simebi, NendoKaisi})
        number->setMaximumWidth(60);
    for (QLineEdit *wide : {Jyusyo1, Jyusyo2, Kaisyamei, Busyo})
        wide->setMinimumWidth(360);
    Simebi->setText(QStringLiteral("99"));
    NendoKaisi->setText(QStringLiteral("4"));
    return box;
}

QWidget *TFjisyaJyoho::buildSealBox()
{
    auto *box = new QGroupBox(QStringLiteral("印影"), this);
    auto *grid = new QGridLayout(box);
    auto *frame = new QGroupBox(QStringLiteral("jpegデータ"), box);
    auto *frameLayout = new QVBoxLayout(frame);
    Inei = new QLabel(frame);
    Inei->setObjectName(QStringLiteral("Inei"));
    Inei->setFixedSize(103, 103);
    Inei->setScaledContents(true);
    frameLayout->addWidget(Inei);
    grid->addWidget(frame, 0, 0, 1, 4);
    takasa = addField(grid, 1, 0, "takasa", QStringLiteral("高さ"), int(Kind::Digits), nullptr);
    besideField(grid, takasa, new QLabel(QStringLiteral("ピクセル × 幅"), this));
    haba = addField(grid, 2, 0, "haba", QStringLiteral("幅"), int(Kind::Digits), nullptr);
    besideField(grid, haba, new QLabel(QStringLiteral("ピクセル"), this));
    for (QLineEdit *size : {takasa, haba})
        size->setMaximumWidth(60);
    takasa->setText(QStringLiteral("70"));
    haba->setText(QStringLiteral("70"));
    const std::pair<const char *, QString> buttons[] = {
        {"MakatiButton1", QStringLiteral("読み込み")},
        {"MakatiButton2", QStringLiteral("クリア")},
        {"MakatiButton3", QStringLiteral("テスト印刷")},
        {"MakatiButton4", QStringLiteral("印影データ作成方法")}};
    int row = 3;
    for (const auto &[name, caption] : buttons) {
        auto *b = new TFlatButton(caption, box);
        b->setObjectName(QLatin1String(name));
        b->setMinimumHeight(28);
        grid->addWidget(b, row++, 0, 1, 4);
    }
    connect(findChild<TFlatButton *>(QStringLiteral("MakatiButton1")), &QPushButton::clicked, this,
            &TFjisyaJyoho::MakatiButton1Click);
    connect(findChild<TFlatButton *>(QStringLiteral("MakatiButton2")), &QPushButton::clicked, this,
            [this] { setSeal(OwnCompanyStore::blankSeal()); });
    connect(findChild<TFlatButton *>(QStringLiteral("MakatiButton3")), &QPushButton::clicked, this,
            &TFjisyaJyoho::MakatiButton3Click);
    connect(findChild<TFlatButton *>(QStringLiteral("MakatiButton4")), &QPushButton::clicked, this, [this] {
        TLRineiData sheet(this);
        sheet.exec();
    });
    setSeal(OwnCompanyStore::blankSeal());
    return box;
}

QWidget *TFjisyaJyoho::buildAccounts()
{
    auto *box = new QGroupBox(QStringLiteral("振込先"), this);
    auto *grid = new QGridLayout(box);
    const QStringList titles{QStringLiteral("金融機関"), QStringLiteral("店舗"), QStringLiteral("種別"),
                             QStringLiteral("口座")};
    for (int c = 0; c < titles.size(); ++c)
        grid->addWidget(new QLabel(titles[c], box), 0, c + 1);
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        grid->addWidget(new QLabel(QStringLiteral("振込先") + QString(QChar(u'１' + i)), box), i + 1, 0);
        KinyuKikan[i] = addField(grid, i + 1, 0, qPrintable(QStringLiteral("KinyuKikan") + n), {},
                                 int(Kind::Text), qPrintable(QStringLiteral("KinyuKikan") + n));
        Tenpo[i] = addField(grid, i + 1, 1, qPrintable(QStringLiteral("Tenpo") + n), {}, int(Kind::Text),
                            qPrintable(QStringLiteral("Tenpo") + n));
        Syumoku[i] = new QComboBox(box);
        Syumoku[i]->setObjectName(QStringLiteral("Syumoku") + n);
        Syumoku[i]->addItems(OwnCompanyStore::accountTypes());
        grid->addWidget(Syumoku[i], i + 1, 3);
        Kouza[i] = addField(grid, i + 1, 3, qPrintable(QStringLiteral("Kouza") + n), {}, int(Kind::Digits),
                            qPrintable(QStringLiteral("Kouza") + n));
    }
    return box;
}

QWidget *TFjisyaJyoho::buildTaxBox()
{
    auto *box = new QGroupBox(QStringLiteral("消費税・適格請求書"), this);
    auto *grid = new QGridLayout(box);
    Tekikaku = new QCheckBox(QStringLiteral("適格請求書を発行する"), box);
    Tekikaku->setObjectName(QStringLiteral("Tekikaku"));
    grid->addWidget(Tekikaku, 0, 0, 1, 2);
    TourokuNo = addField(grid, 0, 2, "TourokuNo", QStringLiteral("登録番号"), int(Kind::Text), nullptr);
    TourokuNo->setMaxLength(14);
    TourokuNo->setPlaceholderText(QStringLiteral("T1234567890123"));
    // Wide enough for all 14 characters of the widest digits, with the frame and its margins.
    TourokuNo->setMinimumWidth(TourokuNo->fontMetrics().horizontalAdvance(QStringLiteral("T8888888888888")) +
                               TourokuNo->fontMetrics().averageCharWidth() * 2 + 8);
    grid->addWidget(new QLabel(QStringLiteral("単価・金額"), box), 1, 0);
    ZeiKomi = new QComboBox(box);
    ZeiKomi->setObjectName(QStringLiteral("ZeiKomi"));
    ZeiKomi->addItems({QStringLiteral("税抜"), QStringLiteral("税込")});
    grid->addWidget(ZeiKomi, 1, 1);
    grid->addWidget(new QLabel(QStringLiteral("消費税の端数"), box), 1, 2);
    ZeiHasuu = new QComboBox(box);
    ZeiHasuu->setObjectName(QStringLiteral("ZeiHasuu"));
    ZeiHasuu->addItems({QStringLiteral("切り捨て"), QStringLiteral("四捨五入"), QStringLiteral("切り上げ")});
    grid->addWidget(ZeiHasuu, 1, 3);
    grid->setColumnStretch(4, 1);
    const auto enable = [this](bool on) {
        for (QWidget *w : std::initializer_list<QWidget *>{TourokuNo, ZeiKomi, ZeiHasuu})
            w->setEnabled(on);
    };
    connect(Tekikaku, &QCheckBox::toggled, this, enable);
    enable(false);
    return box;
}

QLayout *TFjisyaJyoho::buildButtonRow()
{
    auto *row = new QHBoxLayout;
    OkBTN = new TFlatButton(QStringLiteral("Ｏ　Ｋ"), this);
    OkBTN->setObjectName(QStringLiteral("OkBTN"));
    CanBTN = new TFlatButton(QStringLiteral("キャンセル"), this);
    CanBTN->setObjectName(QStringLiteral("CanBTN"));
    for (TFlatButton *b : {OkBTN, CanBTN})
        b->setMinimumSize(100, 32);
    connect(OkBTN, &QPushButton::clicked, this, &TFjisyaJyoho::OkBTNClick);
    connect(CanBTN, &QPushButton::clicked, this, &QDialog::reject);
    row->addStretch(1);
    row->addWidget(OkBTN);
    row->addWidget(CanBTN);
    return row;
}

// The frame shows the picture as the documents read it; the bytes are kept as they are, also when
// they cannot be read, so that a save does not lose them.
bool TFjisyaJyoho::setSeal(const QByteArray &jpeg)
{
    m_seal = jpeg;
    const PictureBytes::Decoded decoded = PictureBytes::decode(jpeg);
    Inei->setPixmap(QPixmap::fromImage(decoded.picture));
    return !decoded.unreadable;
}

void TFjisyaJyoho::FormShow()
{
    TForm1::FormShow();
    const StaffMember staff = StaffMember::read(IniFile(AppPaths::iniPath()));
    Tantousya->setText(staff.Name);
    Mail->setText(staff.Mail);
    showCompany(OwnCompanyStore::loadOrCreate(*DMdata->DataDB));
    Yubin->setFocus();
}

void TFjisyaJyoho::showCompany(const OwnCompanyRecord &c)
{
    Kaisyamei->setText(c.JisyaNM);
    Yubin->setText(c.Yubin);
    Jyusyo1->setText(c.Jyusyo1);
    Jyusyo2->setText(c.Jyusyo2);
    Tel->setText(c.Tel);
    Fax->setText(c.Fax);
    Busyo->setText(c.Busyo);
    Daihyosya->setText(c.Daihyosya);
    Simebi->setText(QString::number(c.SeikyuSimebi));
    NendoKaisi->setText(QString::number(c.NendoKaisiMM));
    takasa->setText(QString::number(c.Height));
    haba->setText(QString::number(c.Width));
    if (!setSeal(c.Inei))
        Messages::warning(this, PictureBytes::unreadableSealShownMessage());
    for (int i = 0; i < 3; ++i) {
        KinyuKikan[i]->setText(c.accounts[i].KinyuKikan);
        Tenpo[i]->setText(c.accounts[i].Tenpo);
        Syumoku[i]->setCurrentIndex(int(OwnCompanyStore::accountTypes().indexOf(c.accounts[i].Syumoku)));
        Kouza[i]->setText(c.accounts[i].Kouza);
    }
    Tekikaku->setChecked(c.tax.enabled);
    TourokuNo->setText(c.tax.registrationNumber);
    ZeiKomi->setCurrentIndex(c.tax.pricesIncludeTax ? 1 : 0);
    ZeiHasuu->setCurrentIndex(int(c.tax.rounding));
    m_taxStored = c.taxStored;
    EntryFields::showFromBeginning(this);
}

// Throws ConvertError naming the field for a number that does not convert.
OwnCompanyRecord TFjisyaJyoho::readFields() const
{
    OwnCompanyRecord c;
    c.JisyaNM = Kaisyamei->text();
    c.Yubin = Yubin->text();
    c.Jyusyo1 = Jyusyo1->text();
    c.Jyusyo2 = Jyusyo2->text();
    c.Tel = Tel->text();
    c.Fax = Fax->text();
    c.Busyo = Busyo->text();
    c.Daihyosya = Daihyosya->text();
    c.SeikyuSimebi = integerOf(Simebi);
    c.NendoKaisiMM = integerOf(NendoKaisi);
    c.Height = integerOf(takasa);
    c.Width = integerOf(haba);
    c.Inei = m_seal;
    for (int i = 0; i < 3; ++i)
        c.accounts[i] = {KinyuKikan[i]->text(), Tenpo[i]->text(), Syumoku[i]->currentText(),
                         Kouza[i]->text()};
    c.tax.enabled = Tekikaku->isChecked();
    c.tax.registrationNumber = OwnCompanyStore::registrationNumberFromText(TourokuNo->text());
    c.tax.pricesIncludeTax = ZeiKomi->currentIndex() == 1;
    c.tax.rounding = ConsumptionTax::Rounding(ZeiHasuu->currentIndex());
    c.taxStored = m_taxStored;
    return c;
}

// A refused value or a failed statement keeps the window open with everything typed; the person
// in charge goes to the configuration file only after the row is stored. A registration number the
// qualified invoices cannot carry is refused with the focus on it.
void TFjisyaJyoho::OkBTNClick()
{
    const bool saved = Messages::guarded(this, [this] {
        const OwnCompanyRecord company = readFields();
        const QString refusal = OwnCompanyStore::registrationRefusal(company.tax);
        if (!refusal.isEmpty()) {
            TourokuNo->setFocus();
            throw ConvertError(refusal);
        }
        OwnCompanyStore::save(*DMdata->DataDB, company);
        IniFile ini(AppPaths::iniPath());
        StaffMember{Tantousya->text(), Mail->text()}.write(ini);
    });
    if (saved)
        accept();
}

void TFjisyaJyoho::MakatiButton1Click()
{
    const QString path = QFileDialog::getOpenFileName(this, QStringLiteral("印影の画像を開く"));
    if (!path.isEmpty())
        loadSealFile(path);
}

// The seal as it is now (not yet saved) at the size typed in, handed over in memory.
void TFjisyaJyoho::MakatiButton3Click()
{
    int height = 0, width = 0;
    if (!Messages::guarded(this, [&] {
            height = integerOf(takasa);
            width = integerOf(haba);
        }))
        return;
    TLRineiTest sheet(this);
    sheet.setSeal(m_seal, height, width);
    sheet.exec();
}

void TFjisyaJyoho::loadSealFile(const QString &path)
{
    Messages::guarded(this, [&] { setSeal(OwnCompanyStore::sealFromFile(path)); });
}

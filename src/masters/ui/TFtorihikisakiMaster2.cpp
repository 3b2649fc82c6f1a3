#include "masters/ui/TFtorihikisakiMaster2.h"

#include "common/ui/AddressLookup.h"
#include "common/Ukansu.h"
#include "controls/EntryFields.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "masters/CustomerStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QToolButton>

namespace {

using Kind = EntryFields::Kind;

const QString kTable = QStringLiteral("Torihikisaki");

QLabel *hintLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setStyleSheet(QStringLiteral("color: gray"));
    return label;
}

// The number typed into a field; a text that is none raises a message that names the field.
int integerIn(const QLineEdit *field)
{
    return FieldTextToInteger(field->accessibleName(), field->text());
}

} // namespace

TFtorihikisakiMaster2::TFtorihikisakiMaster2(QWidget *parent)
    : TForm1(QStringLiteral("FtorihikisakiMaster2"), parent)
{
    setWindowTitle(QStringLiteral("取引先マスター"));
    setAsksBeforeDiscarding(true);
    setSizeable(false);
    buildControls();
    bodyLayout()->setSizeConstraint(QLayout::SetFixedSize);
    Key->setText(QStringLiteral("0"));
}

void TFtorihikisakiMaster2::buildControls()
{
    auto *grid = new QGridLayout;
    buildFields(grid);
    bodyLayout()->addLayout(grid);
    bodyLayout()->addLayout(buildButtonRow());
}

QLineEdit *TFtorihikisakiMaster2::addField(QGridLayout *grid, const char *name, const QString &label,
                                           EntryFields::Kind kind, const QString &hint)
{
    const int row = grid->rowCount();
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(label); // also names the field in the message of a number it refuses
    EntryFields::setUp(edit, kind, kTable, QLatin1String(name));
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(edit, row, 1);
    if (!hint.isEmpty())
        grid->addWidget(hintLabel(hint, this), row, 2);
    return edit;
}

void TFtorihikisakiMaster2::buildFields(QGridLayout *grid)
{
    Key = addField(grid, "Key", QStringLiteral("Key"), Kind::Digits,
                   QStringLiteral("（システムで自動付番します。編集不可）"));
    Key->setReadOnly(true);
    Key->setFocusPolicy(Qt::NoFocus);
    TorihikisakiCD = addField(grid, "TorihikisakiCD", QStringLiteral("取引先CD"), Kind::Digits,
                              QStringLiteral("（見積書などで呼び出す時に使用します）"));
    TorihikisakiNM = addField(grid, "TorihikisakiNM", QStringLiteral("取引先名"), Kind::Text);
    TorihikisakiNM->setMinimumWidth(360);
    Keisyo = new QComboBox(this);
    Keisyo->setObjectName(QStringLiteral("Keisyo"));
    Keisyo->addItems(CustomerStore::honorifics());
    grid->addWidget(Keisyo, grid->rowCount() - 1, 2, Qt::AlignLeft);

    Yubin = addField(grid, "Yubin", QStringLiteral("〒"), Kind::DigitsOrHyphen);
    YubinBTN = new QToolButton(this);
    YubinBTN->setObjectName(QStringLiteral("YubinBTN"));
    YubinBTN->setText(QStringLiteral("〒"));
    YubinBTN->setToolTip(QStringLiteral("郵便番号から住所を検索"));
    connect(YubinBTN, &QToolButton::clicked, this, &TFtorihikisakiMaster2::YubinBTNClick);
    grid->addWidget(YubinBTN, grid->rowCount() - 1, 2, Qt::AlignLeft);

    Jyusyo1 = addField(grid, "Jyusyo1", QStringLiteral("住所１"), Kind::Text);
    Jyusyo2 = addField(grid, "Jyusyo2", QStringLiteral("住所２"), Kind::Text, QStringLiteral("（ビル名等）"));
    Tel = addField(grid, "Tel", QStringLiteral("Tel"), Kind::DigitsOrHyphen);
    Fax = addField(grid, "Fax", QStringLiteral("Fax"), Kind::DigitsOrHyphen);
    Busyo = addField(grid, "Busyo", QStringLiteral("部署"), Kind::Text);
    Tantosya = addField(grid, "Tantosya", QStringLiteral("担当者"), Kind::Text,
                        QStringLiteral("（取引先の担当者）"));
    Mail = addField(grid, "Mail", QStringLiteral("メール"), Kind::Text);
    Kisyuzan = addField(grid, "Kisyuzan", QStringLiteral("期首売掛残"), Kind::Digits);
    ZenkaiSeikyuGaku = addField(grid, "ZenkaiSeikyuGaku", QStringLiteral("前回請求額"), Kind::Digits);
    SeikyuSimebi = addField(grid, "SeikyuSimebi", QStringLiteral("請求締日"), Kind::Digits,
                            QStringLiteral("（0なら自社情報で設定した締日。月末は99）"));
}

QLayout *TFtorihikisakiMaster2::buildButtonRow()
{
    auto *row = new QHBoxLayout;
    OkBTN = new TFlatButton(QStringLiteral("Ｏ　Ｋ"), this);
    OkBTN->setObjectName(QStringLiteral("OkBTN"));
    connect(OkBTN, &QPushButton::clicked, this, &TFtorihikisakiMaster2::OkBTNClick);
    MakatiButton2 = new TFlatButton(QStringLiteral("キャンセル"), this);
    MakatiButton2->setObjectName(QStringLiteral("MakatiButton2"));
    connect(MakatiButton2, &QPushButton::clicked, this, &QDialog::reject);
    row->addStretch(1);
    row->addWidget(OkBTN);
    row->addWidget(MakatiButton2);
    return row;
}

bool TFtorihikisakiMaster2::isNew() const
{
    return Key->text() == QLatin1String("0");
}

void TFtorihikisakiMaster2::FormShow()
{
    TForm1::FormShow();
    if (isNew()) {
        showNewCustomer();
    } else if (const auto customer = CustomerStore::load(*DMdata->DataDB, TextToInteger(Key->text()))) {
        showCustomer(*customer);
    }
    TorihikisakiCD->setFocus();
}

void TFtorihikisakiMaster2::showNewCustomer()
{
    Keisyo->setCurrentIndex(0);
    for (QLineEdit *number : {Kisyuzan, ZenkaiSeikyuGaku, SeikyuSimebi})
        number->setText(QStringLiteral("0"));
}

void TFtorihikisakiMaster2::showCustomer(const CustomerRecord &c)
{
    Key->setText(QString::number(c.key));
    TorihikisakiCD->setText(QString::number(c.TorihikisakiCD));
    TorihikisakiNM->setText(c.TorihikisakiNM);
    Keisyo->setCurrentText(CustomerStore::shownHonorific(c.Keisyo));
    Yubin->setText(c.Yubin);
    Jyusyo1->setText(c.Jyusyo1);
    Jyusyo2->setText(c.Jyusyo2);
    Tel->setText(c.Tel);
    Fax->setText(c.Fax);
    Busyo->setText(c.Busyo);
    Tantosya->setText(c.Tantosya);
    Mail->setText(c.Mail);
    Kisyuzan->setText(QString::number(c.Kisyuzan));
    ZenkaiSeikyuGaku->setText(QString::number(c.ZenkaiSeikyuGaku));
    SeikyuSimebi->setText(QString::number(c.SeikyuSimebi));
    EntryFields::showFromBeginning(this);
}

// Throws ConvertError for a number field that holds no whole number.
CustomerRecord TFtorihikisakiMaster2::readFields() const
{
    CustomerRecord c;
    c.key = isNew() ? 0 : integerIn(Key);
    c.TorihikisakiCD = integerIn(TorihikisakiCD);
    c.TorihikisakiNM = TorihikisakiNM->text();
    c.Keisyo = Keisyo->currentText();
    c.Yubin = Yubin->text();
    c.Jyusyo1 = Jyusyo1->text();
    c.Jyusyo2 = Jyusyo2->text();
    c.Tel = Tel->text();
    c.Fax = Fax->text();
    c.Busyo = Busyo->text();
    c.Tantosya = Tantosya->text();
    c.Mail = Mail->text();
    c.Kisyuzan = integerIn(Kisyuzan);
    c.ZenkaiSeikyuGaku = integerIn(ZenkaiSeikyuGaku);
    c.SeikyuSimebi = integerIn(SeikyuSimebi);
    return c;
}

// A number field that holds no number stops the save with its message. When the database refuses
// the statement, the window stays open with everything typed, so that nothing is lost.
void TFtorihikisakiMaster2::OkBTNClick()
{
    CustomerRecord customer;
    if (!Messages::guarded(this, [&] { customer = readFields(); }))
        return;
    TEngineDatabase &db = *DMdata->DataDB;
    try {
        if (customer.key == 0) {
            m_savedKey = CustomerStore::insert(db, customer);
        } else {
            CustomerStore::update(db, customer);
            m_savedKey = customer.key;
        }
    } catch (const AppError &) {
        Messages::error(this, QStringLiteral("更新に失敗しました"));
        return;
    }
    accept();
}

void TFtorihikisakiMaster2::YubinBTNClick()
{
    lookUpAddress(this, Yubin, Jyusyo1);
}

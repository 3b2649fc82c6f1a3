#include "masters/ui/TFsyohinMaster2.h"

#include "common/Ukansu.h"
#include "controls/EntryFields.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "masters/OwnCompanyStore.h"
#include "masters/ProductStore.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>

namespace {

using Kind = EntryFields::Kind;

} // namespace

TFsyohinMaster2::TFsyohinMaster2(QWidget *parent) : TForm1(QStringLiteral("FsyohinMaster2"), parent)
{
    setWindowTitle(QStringLiteral("商品マスター"));
    setAsksBeforeDiscarding(true);
    setSizeable(false);
    auto *grid = new QGridLayout;
    buildFields(grid);
    bodyLayout()->addLayout(grid);
    bodyLayout()->addLayout(buildButtonRow());
    bodyLayout()->setSizeConstraint(QLayout::SetFixedSize);
    SyohinCD->setText(QStringLiteral("0"));
}

QLineEdit *TFsyohinMaster2::addField(QGridLayout *grid, const char *name, const QString &label,
                                     EntryFields::Kind kind, const QString &hint)
{
    const int row = grid->rowCount();
    auto *edit = new QLineEdit(this);
    edit->setObjectName(QLatin1String(name));
    edit->setAccessibleName(label); // also names the field in the message of a number it refuses
    EntryFields::setUp(edit, kind, QStringLiteral("Syohin"), QLatin1String(name));
    grid->addWidget(new QLabel(label, this), row, 0);
    grid->addWidget(edit, row, 1);
    if (!hint.isEmpty())
        grid->addWidget(new QLabel(hint, this), row, 2);
    return edit;
}

void TFsyohinMaster2::buildFields(QGridLayout *grid)
{
    SyohinCD = addField(grid, "SyohinCD", QStringLiteral("商品CD"), Kind::Digits,
                        QStringLiteral("（見積書等の商品名に左のコードを入力します）"));
    SyohinNM = addField(grid, "SyohinNM", QStringLiteral("商品名"), Kind::Text);
    SyohinNM->setMinimumWidth(300);
    Kikaku = addField(grid, "Kikaku", QStringLiteral("規格"), Kind::Text);
    Tani = addField(grid, "Tani", QStringLiteral("単位"), Kind::Text);
    Tanka = addField(grid, "Tanka", QStringLiteral("単価"), Kind::DigitsOrPoint);
    ZeiRitu = new QComboBox(this);
    ZeiRitu->setObjectName(QStringLiteral("ZeiRitu"));
    for (int rate : ProductStore::taxRates())
        ZeiRitu->addItem(ProductStore::taxRateCaption(rate), rate);
    m_rateLabel = new QLabel(QStringLiteral("税率"), this);
    const int row = grid->rowCount();
    grid->addWidget(m_rateLabel, row, 0);
    grid->addWidget(ZeiRitu, row, 1, Qt::AlignLeft);
    m_rateLabel->hide();
    ZeiRitu->hide();
}

QLayout *TFsyohinMaster2::buildButtonRow()
{
    auto *row = new QHBoxLayout;
    MakatiButton1 = new TFlatButton(QStringLiteral("Ｏ　Ｋ"), this);
    MakatiButton1->setObjectName(QStringLiteral("MakatiButton1"));
    connect(MakatiButton1, &QPushButton::clicked, this, &TFsyohinMaster2::MakatiButton1Click);
    MakatiButton2 = new TFlatButton(QStringLiteral("キャンセル"), this);
    MakatiButton2->setObjectName(QStringLiteral("MakatiButton2"));
    connect(MakatiButton2, &QPushButton::clicked, this, &QDialog::reject);
    row->addStretch(1);
    row->addWidget(MakatiButton1);
    row->addWidget(MakatiButton2);
    return row;
}

void TFsyohinMaster2::FormShow()
{
    TForm1::FormShow();
    const bool withTax = OwnCompanyStore::taxSettings(*DMdata->DataDB).enabled;
    m_rateLabel->setVisible(withTax);
    ZeiRitu->setVisible(withTax);
    (SyohinCD->isReadOnly() ? SyohinNM : SyohinCD)->setFocus();
    if (SyohinCD->text() == QLatin1String("0"))
        return;
    if (const auto product = ProductStore::load(*DMdata->DataDB, TextToInteger(SyohinCD->text())))
        showProduct(*product);
}

void TFsyohinMaster2::showProduct(const ProductRecord &p)
{
    SyohinCD->setText(QString::number(p.SyohinCD));
    SyohinNM->setText(p.SyohinNM);
    Kikaku->setText(p.Kikaku);
    Tani->setText(p.Tani);
    Tanka->setText(ProductStore::priceText(p.Tanka));
    ZeiRitu->setCurrentIndex(int(ProductStore::taxRates().indexOf(ConsumptionTax::rateOf(p.ZeiRitu))));
}

// Throws ConvertError for a code that is no whole number or a price that is no number.
ProductRecord TFsyohinMaster2::readFields() const
{
    ProductRecord p;
    p.SyohinCD = FieldTextToInteger(SyohinCD->accessibleName(), SyohinCD->text());
    p.SyohinNM = SyohinNM->text();
    p.Kikaku = Kikaku->text();
    p.Tani = Tani->text();
    p.Tanka = ProductStore::priceFromText(Tanka->text());
    if (!ZeiRitu->isHidden())
        p.ZeiRitu = ZeiRitu->currentData().toInt();
    return p;
}

// The read-only code tells a modification from a new product. When the database refuses the
// statement (a code that is taken), the window stays open with everything typed.
void TFsyohinMaster2::MakatiButton1Click()
{
    ProductRecord product;
    if (!Messages::guarded(this, [&] { product = readFields(); }))
        return;
    try {
        if (SyohinCD->isReadOnly())
            ProductStore::update(*DMdata->DataDB, product);
        else
            ProductStore::insert(*DMdata->DataDB, product);
    } catch (const AppError &) {
        Messages::error(this, QStringLiteral("更新に失敗しました"));
        return;
    }
    accept();
}

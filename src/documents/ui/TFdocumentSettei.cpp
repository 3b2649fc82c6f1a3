#include "documents/ui/TFdocumentSettei.h"

#include "common/Clock.h"
#include "common/Ukansu.h"
#include "controls/EntryFields.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "data/SjisLengthValidator.h"
#include "data/TDMdata.h"
#include "documents/DocumentSettings.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QVBoxLayout>

using Numbering::Kind;

TFdocumentSettei::TFdocumentSettei(Kind kind, QWidget *parent)
    : TForm1(DocumentSettings::member(kind).windowName, parent), m_kind(kind)
{
    const DocumentSettings::Member &m = DocumentSettings::member(kind);
    setWindowTitle(m.caption);
    setSizeable(false);
    bodyLayout()->addWidget(buildNumbering());
    bodyLayout()->addLayout(buildSealLine());
    bodyLayout()->addWidget(buildFormKind());
    if (m.remarks) {
        auto *label = new QLabel(QStringLiteral("備考欄"), this);
        label->setObjectName(QStringLiteral("Label3"));
        Bikou = new QPlainTextEdit(this);
        Bikou->setObjectName(QStringLiteral("Bikou"));
        Bikou->setPlainText(DocumentSettings::defaultRemarks(kind).join(QLatin1Char('\n')));
        bodyLayout()->addWidget(label);
        bodyLayout()->addWidget(Bikou, 1);
    } else {
        bodyLayout()->addStretch(1);
    }
    bodyLayout()->addLayout(buildButtonRow());
    resize(492, m.clientHeight);
}

QWidget *TFdocumentSettei::buildNumbering()
{
    const DocumentSettings::Member &m = DocumentSettings::member(m_kind);
    GroupBox1 = new QGroupBox(m.numberCaption, this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *grid = new QVBoxLayout(GroupBox1);

    const char *names[] = {"TenyuryokuRB", "RenbanRB", "NenRenbanRB", "TukiRenbanRB", "NitiRenbanRB"};
    QRadioButton **buttons[] = {&TenyuryokuRB, &RenbanRB, &NenRenbanRB, &TukiRenbanRB, &NitiRenbanRB};
    auto *group = new QButtonGroup(GroupBox1);
    auto *secondLine = new QHBoxLayout;
    const QStringList captions = Numbering::methods();
    for (int i = 0; i < 5; ++i) {
        auto *b = new QRadioButton(captions.at(i), GroupBox1);
        b->setObjectName(QLatin1String(names[i]));
        group->addButton(b);
        connect(b, &QRadioButton::toggled, this, &TFdocumentSettei::refreshPreview);
        *buttons[i] = b;
        if (i > 0)
            secondLine->addWidget(b);
    }
    secondLine->addStretch(1);
    grid->addWidget(TenyuryokuRB);
    grid->addLayout(secondLine);

    auto *label = new QLabel(QStringLiteral("連番の前に付加する文字（任意の文字も可）"), GroupBox1);
    label->setObjectName(QStringLiteral("Label1"));
    grid->addWidget(label);
    auto *boxes = new QHBoxLayout;
    const char *boxNames[] = {"Fuka1CB", "Fuka2CB", "Fuka3CB"};
    QComboBox **boxFields[] = {&Fuka1CB, &Fuka2CB, &Fuka3CB};
    for (int i = 0; i < 3; ++i) {
        auto *box = new QComboBox(GroupBox1);
        box->setObjectName(QLatin1String(boxNames[i]));
        box->setEditable(true);
        box->setInsertPolicy(QComboBox::NoInsert);
        box->addItems(Numbering::elementChoices());
        box->setValidator(new SjisLengthValidator(20, box)); // Fuka1 to Fuka3 hold 20 bytes
        connect(box, &QComboBox::currentTextChanged, this, &TFdocumentSettei::refreshPreview);
        boxes->addWidget(box);
        *boxFields[i] = box;
    }
    grid->addLayout(boxes);
    HyojiRei = new QLabel(QStringLiteral("表示例："), GroupBox1);
    HyojiRei->setObjectName(QStringLiteral("HyojiRei"));
    grid->addWidget(HyojiRei);
    HyojiReiChui = new QLabel(
        QStringLiteral("※ 番号が%1バイトを超えると保存できません").arg(Numbering::kNumberBytes), GroupBox1);
    HyojiReiChui->setObjectName(QStringLiteral("HyojiReiChui"));
    HyojiReiChui->setStyleSheet(QStringLiteral("color: red"));
    HyojiReiChui->hide();
    grid->addWidget(HyojiReiChui);
    return GroupBox1;
}

QLayout *TFdocumentSettei::buildSealLine()
{
    auto *line = new QHBoxLayout;
    auto field = [this](const char *name, const QString &label) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QLatin1String(name));
        edit->setAccessibleName(label);
        edit->setMaximumWidth(60);
        EntryFields::setUp(edit, EntryFields::Kind::Digits); // the key filter of both fields
        return edit;
    };
    ue = field("ue", QStringLiteral("印影の上から"));
    hidari = field("hidari", QStringLiteral("印影の左から"));
    line->addWidget(new QLabel(QStringLiteral("印影"), this));
    line->addSpacing(12);
    line->addWidget(new QLabel(QStringLiteral("上から"), this));
    line->addWidget(ue);
    line->addWidget(new QLabel(QStringLiteral("ピクセル　　　左から"), this));
    line->addWidget(hidari);
    line->addWidget(new QLabel(QStringLiteral("ピクセル"), this));
    line->addStretch(1);
    return line;
}

QWidget *TFdocumentSettei::buildFormKind()
{
    const DocumentSettings::Member &m = DocumentSettings::member(m_kind);
    GroupBox2 = new QGroupBox(m.formKindCaption, this);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto *layout = new QHBoxLayout(GroupBox2);
    Madotuki20RB = new QRadioButton(m.syurui, GroupBox2);
    Madotuki20RB->setObjectName(QStringLiteral("Madotuki20RB"));
    Madotuki20RB->setChecked(true);
    layout->addWidget(Madotuki20RB);
    layout->addStretch(1);
    return GroupBox2;
}

QLayout *TFdocumentSettei::buildButtonRow()
{
    auto *row = new QHBoxLayout;
    OkBTN = new TFlatButton(QStringLiteral("O　K"), this);
    OkBTN->setObjectName(QStringLiteral("OkBTN"));
    MakatiButton1 = new TFlatButton(QStringLiteral("キャンセル"), this);
    MakatiButton1->setObjectName(QStringLiteral("MakatiButton1"));
    connect(OkBTN, &QPushButton::clicked, this, &TFdocumentSettei::OkBTNClick);
    connect(MakatiButton1, &QPushButton::clicked, this, &TFdocumentSettei::MakatiButton1Click);
    row->addStretch(1);
    row->addWidget(OkBTN);
    row->addWidget(MakatiButton1);
    return row;
}

QList<QRadioButton *> TFdocumentSettei::methodButtons() const
{
    return {TenyuryokuRB, RenbanRB, NenRenbanRB, TukiRenbanRB, NitiRenbanRB};
}

QString TFdocumentSettei::method() const
{
    for (QRadioButton *b : methodButtons())
        if (b->isChecked())
            return b->text();
    return DocumentSettings::member(m_kind).defaultMethod;
}

void TFdocumentSettei::FormShow()
{
    TForm1::FormShow();
    const DocumentSettings::Member &m = DocumentSettings::member(m_kind);
    QStringList remarks;
    if (Bikou)
        remarks = Bikou->toPlainText().split(QLatin1Char('\n'));
    const DocumentSettings::Record r = DocumentSettings::loadOrCreate(*DMdata->DataDB, m_kind, remarks);
    const QString stored = Numbering::methods().contains(r.SaibanHouhou) ? r.SaibanHouhou : m.defaultMethod;
    for (QRadioButton *b : methodButtons())
        b->setChecked(b->text() == stored);
    Fuka1CB->setEditText(r.Fuka1);
    Fuka2CB->setEditText(r.Fuka2);
    Fuka3CB->setEditText(r.Fuka3);
    ue->setText(r.top ? QString::number(*r.top) : QString());
    hidari->setText(r.left ? QString::number(*r.left) : QString());
    if (Bikou)
        Bikou->setPlainText(r.Bikou.join(QLatin1Char('\n')));
    refreshPreview();
}

void TFdocumentSettei::refreshPreview()
{
    if (!HyojiReiChui)
        return; // still being built
    const QStringList elements{Fuka1CB->currentText(), Fuka2CB->currentText(), Fuka3CB->currentText()};
    const QDate today = Clock::today();
    HyojiRei->setText(Numbering::preview(method(), elements, today));
    HyojiReiChui->setVisible(Numbering::previewMayBeTooLong(m_kind, method(), elements, today));
}

// A number that does not convert, or a failed update, keeps the dialog open with what was typed.
void TFdocumentSettei::OkBTNClick()
{
    const bool saved = Messages::guarded(this, [this] {
        DocumentSettings::Record r;
        r.SaibanHouhou = method();
        r.Fuka1 = Fuka1CB->currentText();
        r.Fuka2 = Fuka2CB->currentText();
        r.Fuka3 = Fuka3CB->currentText();
        r.top = FieldTextToInteger(ue->accessibleName(), ue->text());
        r.left = FieldTextToInteger(hidari->accessibleName(), hidari->text());
        r.Syurui = Madotuki20RB->text();
        if (Bikou)
            r.Bikou = Bikou->toPlainText().split(QLatin1Char('\n'));
        DocumentSettings::save(*DMdata->DataDB, m_kind, r);
    });
    if (saved)
        accept();
}

void TFdocumentSettei::MakatiButton1Click()
{
    reject();
}

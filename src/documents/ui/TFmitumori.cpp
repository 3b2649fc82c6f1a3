#include "documents/ui/TFmitumori.h"

#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "controls/TFlatButton.h"
#include "data/TDMdata.h"
#include "documents/ui/TFnohin.h"
#include "report/ui/DocumentReports.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>

namespace {

const QString kTable = QStringLiteral("Mitumori");

} // namespace

TFmitumori::TFmitumori(QWidget *parent)
    : TDocumentEditor(Numbering::Kind::Mitumori,
                      {QStringLiteral("Fmitumori"), QStringLiteral("見積書"), QStringLiteral("MitumoriYMD"),
                       QStringLiteral("見積日"), QStringLiteral("MitumoriNo"), QStringLiteral("見積№"),
                       QColor(220, 255, 208)},
                      parent)
{
    Kenmei = addTextField("Kenmei", QStringLiteral("件　名"), kTable, QStringLiteral("Title"), true, 0, 3);
    Yukokigen = addTextField("Yukokigen", QStringLiteral("見積有効期限"), kTable, QStringLiteral("YukoKigen"),
                             true, 1, 3);
    Nouki = addTextField("Nouki", QStringLiteral("納期"), kTable, QStringLiteral("Nouki"), true, 2, 3);
    Basyo = addTextField("Basyo", QStringLiteral("受渡し場所"), kTable, QStringLiteral("UkewatasiBasyo"),
                         true, 3, 3);
    SiharaiJyoken = addTextField("SiharaiJyoken", QStringLiteral("支払条件"), kTable,
                                 QStringLiteral("SiharaiJyoken"), true, 4, 3);
    JisyaTanto = addTextField("JisyaTanto", QStringLiteral("自社担当"), kTable, QStringLiteral("JisyaTanto"),
                              true, 5, 3);
    setTabChain({NumberField, Kaisyamei, Keisyo, Yubin, Jyusyo1, Jyusyo2, Busyo, Tantousya, Tel, Fax, Mail,
                 Kenmei, Yukokigen, Nouki, Basyo, SiharaiJyoken, JisyaTanto});

    NohinBTN = new TFlatButton(QStringLiteral("納品書作成"), this);
    NohinBTN->setObjectName(QStringLiteral("NohinBTN"));
    NohinBTN->hide();
    buttonRow()->insertWidget(2, NohinBTN);
    connect(NohinBTN, &QPushButton::clicked, this,
            [this] { Messages::guarded(this, [this] { NohinBTNClick(); }); });
}

// A new estimate starts empty; a stored one is read with its customer (whose fields are disabled
// but for the honorific) and can start a delivery note.
void TFmitumori::showDocument()
{
    NohinBTN->hide();
    if (m_mitumoriKey == 0)
        return;
    const std::optional<DocumentRecord> d = DocumentStore::load(*DMdata->DataDB, kind(), m_mitumoriKey);
    if (!d) {
        reportMissing(QStringLiteral("見積書"), m_mitumoriKey);
        return;
    }
    setSavedKey(d->key);
    Kenmei->setText(d->Title);
    Yukokigen->setText(d->YukoKigen);
    Nouki->setText(d->Nouki);
    SiharaiJyoken->setText(d->SiharaiJyoken);
    fillFrom(*d);
    disableCustomerBlock(false);
    NohinBTN->show();
}

void TFmitumori::readOwnFields(DocumentRecord &d) const
{
    d.Title = Kenmei->text();
    d.YukoKigen = Yukokigen->text();
    d.Nouki = Nouki->text();
    d.SiharaiJyoken = SiharaiJyoken->text();
}

void TFmitumori::showReport(int key)
{
    DocumentReports::show(this, DocumentOutput::Kind::Mitumori, {key});
}

QString TFmitumori::automaticNumberMessage() const
{
    return QStringLiteral("見積№は自動付番なので編集できません");
}

// The note copies the estimate as stored, not what is changed in this window.
void TFmitumori::NohinBTNClick()
{
    TFnohin note(this);
    note.setNohinKey(0);
    note.setMitumoriKey(savedKey());
    note.exec();
}

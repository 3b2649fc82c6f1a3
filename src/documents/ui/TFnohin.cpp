#include "documents/ui/TFnohin.h"

#include "common/Clock.h"
#include "controls/Messages.h"
#include "controls/TDateEdit.h"
#include "data/TDMdata.h"
#include "documents/BilledDocuments.h"
#include "report/ui/DocumentReports.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLineEdit>

TFnohin::TFnohin(QWidget *parent)
    : TDocumentEditor(Numbering::Kind::Nohin,
                      {QStringLiteral("Fnohin"), QStringLiteral("納品書"), QStringLiteral("NohinYMD"),
                       QStringLiteral("納品日"), QStringLiteral("NohinNo"), QStringLiteral("納品№"),
                       QColor(255, 208, 208)},
                      parent)
{
    const QString table = QStringLiteral("Nohin");
    const int row = fieldGrid()->rowCount();
    Basyo = addTextField("Basyo", QStringLiteral("受渡し場所"), table, QStringLiteral("UkewatasiBasyo"), true,
                         row, 0);
    JisyaTanto = addTextField("JisyaTanto", QStringLiteral("自社担当"), table, QStringLiteral("JisyaTanto"),
                              true, row, 3);
    // The staff field leaves the input method as it is.
    JisyaTanto->setAttribute(Qt::WA_InputMethodEnabled, true);
    setTabChain({NumberField, Kaisyamei, Yubin, Jyusyo1, Jyusyo2, Busyo, Tantousya, Tel, Fax, Mail, Basyo,
                 JisyaTanto, Keisyo});
}

// A stored note, or a new one filled from a stored estimate: either way with its customer, whose
// block is disabled, honorific included.
void TFnohin::showDocument()
{
    std::optional<DocumentRecord> d;
    if (m_nohinKey != 0) {
        d = DocumentStore::load(*DMdata->DataDB, kind(), m_nohinKey);
        if (!d)
            reportMissing(QStringLiteral("納品書"), m_nohinKey);
        else
            setSavedKey(d->key);
    } else if (m_mitumoriKey != 0) {
        d = DocumentStore::noteFromEstimate(*DMdata->DataDB, m_mitumoriKey, Clock::today());
        if (!d)
            reportMissing(QStringLiteral("見積書"), m_mitumoriKey);
    }
    if (!d)
        return;
    fillFrom(*d);
    disableCustomerBlock(true);
    if (d->SeikyuKey != 0)
        Messages::information(this, BilledDocuments::openedNotice(BilledDocuments::Kind::DeliveryNote));
}

void TFnohin::showReport(int key)
{
    DocumentReports::show(this, DocumentOutput::Kind::Nohin, {key});
}

QString TFnohin::automaticNumberMessage() const
{
    return QStringLiteral("納品№は自動付番なので編集できません");
}

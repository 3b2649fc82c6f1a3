#include "app/ui/InvoiceCommands.h"

#include "app/MainLists.h"
#include "app/ui/TFmain.h"
#include "billing/InvoiceDeletion.h"
#include "billing/ui/InvoiceRunCommand.h"
#include "billing/ui/TFseikyuIkkatuInsatu.h"
#include "billing/ui/TFseikyusyoData.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/Engine.h"
#include "report/ui/DocumentReports.h"

namespace {

int selectedKey(TEngineQuery &list)
{
    return list.FieldByName(QStringLiteral("key")).AsInteger();
}

// "請求書データ作成": the run's window; the invoice list shows the new invoices from its first row.
void SeikyusyoDataBTNClick(TFmain &main)
{
    TFseikyusyoData window(&main);
    window.exec();
    MainLists::reopen(*main.Qseikyu);
}

void SeikyuIkkatuInsatuBTNClick(TFmain &main)
{
    TFseikyuIkkatuInsatu window(&main);
    window.exec();
}

// "請求書印刷": the selected invoice in the invoice report window.
void SeikyuInsatuBTNClick(TFmain &main)
{
    const int key = selectedKey(*main.Qseikyu);
    DocumentReports::show(&main, DocumentOutput::Kind::Seikyu, {key});
}

// "請求書削除": the customer's latest invoice only, without a question; the notes and payments it took
// are unbilled again, so their lists are read again too.
void SeikyuDelBTNClick(TFmain &main)
{
    const int key = selectedKey(*main.Qseikyu);
    if (key == 0)
        return; // an empty list
    const TBookmark mark = main.Qseikyu->GetBookmark();
    const InvoiceDeletion::Result result = InvoiceDeletion::remove(*main.Qseikyu->database(), key);
    if (!result.deleted) {
        Messages::information(&main, result.refusal);
        return;
    }
    MainLists::reopenAt(*main.Qseikyu, mark);
    MainLists::reopenKeepingPlace(*main.Qnohin);
    MainLists::reopenKeepingPlace(*main.Qnyukin);
}

// "納品書から請求書作成": the run for the note's customer up to the note's date (everything of that
// customer unbilled by then, not only this note), then the invoice it made; an earlier invoice of the
// same customer and closing date is not shown again. A run that made none (the customer has an
// invoice for a later closing date) has said why.
void Nohin2SeikyuBTNClick(TFmain &main)
{
    TEngineQuery &notes = *main.Qnohin;
    if (notes.IsEmpty())
        return;
    if (notes.FieldByName(QStringLiteral("SeikyuKey")).AsInteger() != 0) {
        Messages::information(&main, QStringLiteral("請求書発行済みです"));
        return;
    }
    const int customer = notes.FieldByName(QStringLiteral("TorihikisakiKey")).AsInteger();
    const QDate date = notes.FieldByName(QStringLiteral("Hiduke")).AsDate();
    // A note stored without a date or a customer (through the SQL window) has no closing date to run
    // to, or no one to bill.
    QList<int> made;
    if (!date.isValid())
        Messages::warning(&main, InvoiceRunCommand::kNoClosingDate);
    else
        made = InvoiceRunCommand::run(&main, customer != 0 ? QList<int>{customer} : QList<int>{}, date);
    if (!made.isEmpty())
        DocumentReports::show(&main, DocumentOutput::Kind::Seikyu, {made.first()});
    MainLists::reopenKeepingPlace(*main.Qseikyu);
    MainLists::reopenKeepingPlace(notes);
}

} // namespace

void connectInvoiceCommands(TFmain &main)
{
    const QList<std::pair<const char *, void (*)(TFmain &)>> commands{
        {"SeikyusyoDataBTN", &SeikyusyoDataBTNClick}, {"SeikyuIkkatuInsatuBTN", &SeikyuIkkatuInsatuBTNClick},
        {"SeikyuInsatuBTN", &SeikyuInsatuBTNClick},   {"SeikyuDelBTN", &SeikyuDelBTNClick},
        {"Nohin2SeikyuBTN", &Nohin2SeikyuBTNClick},
    };
    TFmain *window = &main;
    for (const auto &[name, command] : commands) {
        main.enableCommand(QLatin1String(name));
        QObject::connect(main.button(QLatin1String(name)), &QPushButton::clicked, window, [window, command] {
            Messages::guarded(window, [window, command] { command(*window); });
        });
    }
    QObject::connect(main.SeikyuGrid, &QAbstractItemView::doubleClicked, window,
                     [window] { Messages::guarded(window, [window] { SeikyuInsatuBTNClick(*window); }); });
}

#include "app/ui/DeletionCommands.h"

#include "app/DocumentDeletion.h"
#include "app/MainLists.h"
#include "app/ui/TFmain.h"
#include "controls/Messages.h"
#include "controls/TFlatButton.h"
#include "data/Engine.h"

using DocumentDeletion::Kind;

namespace {

// The selected document of a list; false on an empty list, where there is nothing to delete.
bool hasSelection(const TEngineQuery &list)
{
    list.CheckActive();
    return !list.IsEmpty();
}

bool invoiced(const TEngineQuery &list)
{
    return list.integer("SeikyuKey") != 0;
}

// Asks, deletes in one transaction and reopens the list at the selected row's place. A failed
// deletion changes nothing and leaves the list as it was; a document that another computer
// deleted meanwhile is reported as such and disappears from the list.
void deleteSelected(TFmain &main, TEngineQuery &list, Kind kind, const QString &question, bool warnInvoiced)
{
    const TBookmark mark = list.GetBookmark();
    const int key = list.FieldByName(QStringLiteral("key")).AsInteger();
    if (warnInvoiced && !Messages::confirmYesNo(&main, DocumentDeletion::kInvoicedWarning))
        return;
    if (!Messages::confirmYesNo(&main, question))
        return;
    DocumentDeletion::Outcome outcome;
    try {
        outcome = DocumentDeletion::remove(*list.database(), kind, key);
    } catch (const std::exception &) {
        Messages::error(&main, DocumentDeletion::kFailedMessage);
        return;
    }
    if (outcome == DocumentDeletion::Outcome::AlreadyGone)
        Messages::warning(&main, DocumentDeletion::alreadyGoneMessage(kind));
    MainLists::reopenAt(list, mark);
}

void connectCommand(TFmain &main, const char *name, void (*handler)(TFmain &))
{
    main.enableCommand(QLatin1String(name));
    QObject::connect(main.button(QLatin1String(name)), &QPushButton::clicked, &main,
                     [&main, handler] { Messages::guarded(&main, [&main, handler] { handler(main); }); });
}

} // namespace

void MitumoriSakujyoBTNClick(TFmain &main)
{
    TEngineQuery &list = *main.Qmitumori;
    if (!hasSelection(list))
        return;
    deleteSelected(main, list, Kind::Estimate,
                   DocumentDeletion::estimateQuestion(list.date("Hiduke"), list.text("TorihikisakiNM"),
                                                      list.text("Title")),
                   false);
}

void NohinSakujyoBTNClick(TFmain &main)
{
    TEngineQuery &list = *main.Qnohin;
    if (!hasSelection(list))
        return;
    deleteSelected(main, list, Kind::DeliveryNote,
                   DocumentDeletion::deliveryNoteQuestion(list.date("Hiduke"), list.text("TorihikisakiNM"),
                                                          list.largeInt("Kingaku")),
                   invoiced(list));
}

void NyukinSakujyoBTNClick(TFmain &main)
{
    TEngineQuery &list = *main.Qnyukin;
    if (!hasSelection(list))
        return;
    deleteSelected(main, list, Kind::Payment,
                   DocumentDeletion::paymentQuestion(list.date("NyukinYMD"), list.text("TorihikisakiNM"),
                                                     list.largeInt("Nyukingaku")),
                   invoiced(list));
}

void connectDeletionCommands(TFmain &main)
{
    connectCommand(main, "MitumoriSakujyoBTN", &MitumoriSakujyoBTNClick);
    connectCommand(main, "NohinSakujyoBTN", &NohinSakujyoBTNClick);
    connectCommand(main, "NyukinSakujyoBTN", &NyukinSakujyoBTNClick);
}

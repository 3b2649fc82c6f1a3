#include "app/ui/PaymentCommands.h"

#include "app/MainLists.h"
#include "app/ui/TFmain.h"
#include "billing/ui/TFnyukin.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/Engine.h"

namespace {

// The key of the payment selected in the list; 0 on an empty list.
int selectedKey(const TEngineQuery &list)
{
    list.CheckActive();
    return list.FieldByName(QStringLiteral("key")).AsInteger();
}

// Opens the payment window for the key; returns once it has closed.
void editPayment(TFmain &main, int key)
{
    TFnyukin window(&main);
    window.NyukinKey = key;
    window.exec();
}

void NyukinTorokuBTNClick(TFmain &main)
{
    editPayment(main, 0);
    MainLists::reopen(*main.Qnyukin);
}

// The list goes back to the row it stood on, taken after the window has closed.
void NyukinSyuseiBTNClick(TFmain &main)
{
    editPayment(main, selectedKey(*main.Qnyukin));
    MainLists::reopenKeepingPlace(*main.Qnyukin);
}

void RyosyuInsatuBTNClick(TFmain &main)
{
    TFnyukin::showReceipt(&main, selectedKey(*main.Qnyukin));
}

void connectButton(TFmain &main, const QString &name, void (*command)(TFmain &))
{
    main.enableCommand(name);
    QObject::connect(main.button(name), &QPushButton::clicked, &main,
                     [&main, command] { Messages::guarded(&main, [&main, command] { command(main); }); });
}

} // namespace

void connectPaymentCommands(TFmain &main)
{
    connectButton(main, QStringLiteral("NyukinTorokuBTN"), &NyukinTorokuBTNClick);
    connectButton(main, QStringLiteral("NyukinSyuseiBTN"), &NyukinSyuseiBTNClick);
    connectButton(main, QStringLiteral("RyosyuInsatuBTN"), &RyosyuInsatuBTNClick);
    QObject::connect(main.NyukinGrid, &QAbstractItemView::doubleClicked, &main,
                     [&main] { Messages::guarded(&main, [&main] { NyukinSyuseiBTNClick(main); }); });
}

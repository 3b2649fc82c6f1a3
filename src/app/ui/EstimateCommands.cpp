#include "app/ui/EstimateCommands.h"

#include "app/MainLists.h"
#include "app/ui/TFmain.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "controls/TFlatButton.h"
#include "data/Engine.h"
#include "documents/ui/TFmitumori.h"
#include "documents/ui/TFnohin.h"
#include "report/ui/DocumentReports.h"

#include <QTabWidget>

namespace {

constexpr int kNohinPage = 1;

// The key of the list's current row; 0 on an empty list. A list that is closed (after a failed
// connection) cannot say which document is meant.
int selectedKey(const TEngineQuery &list)
{
    list.CheckActive();
    return list.IsEmpty() ? 0 : list.FieldByName(QStringLiteral("key")).AsInteger();
}

void MitumoriSakuseiBTNClick(TFmain &main)
{
    TFmitumori editor(&main);
    editor.setMitumoriKey(0);
    editor.exec();
    if (editor.mitumoriKey() != 0)
        MainLists::reopenAtKey(*main.Qmitumori, editor.mitumoriKey());
}

// The bookmark is taken after the editor has closed: the list goes back to the row it stood on.
void MitumoriSyuseiBTNClick(TFmain &main)
{
    TFmitumori editor(&main);
    editor.setMitumoriKey(selectedKey(*main.Qmitumori));
    editor.exec();
    MainLists::reopenKeepingPlace(*main.Qmitumori);
}

void MitumoriInsatuBTNClick(TFmain &main)
{
    DocumentReports::show(&main, DocumentOutput::Kind::Mitumori, {selectedKey(*main.Qmitumori)});
}

void Mitumori2NohinBTNClick(TFmain &main)
{
    TFnohin editor(&main);
    editor.setNohinKey(0);
    editor.setMitumoriKey(selectedKey(*main.Qmitumori));
    editor.exec();
    MainLists::reopen(*main.Qnohin);
    main.PageControl1->setCurrentIndex(kNohinPage);
}

void NohinSakuseiBTNClick(TFmain &main)
{
    TFnohin editor(&main);
    editor.setNohinKey(0);
    editor.setMitumoriKey(0);
    editor.exec();
    if (editor.nohinKey() != 0)
        MainLists::reopenAtKey(*main.Qnohin, editor.nohinKey());
}

void NohinSyuseiBTNClick(TFmain &main)
{
    TFnohin editor(&main);
    editor.setNohinKey(selectedKey(*main.Qnohin));
    editor.setMitumoriKey(0);
    editor.exec();
    MainLists::reopenKeepingPlace(*main.Qnohin);
}

void NohinInsatuBTNClick(TFmain &main)
{
    DocumentReports::show(&main, DocumentOutput::Kind::Nohin, {selectedKey(*main.Qnohin)});
}

void connectCommand(TFmain &main, const char *name, void (*command)(TFmain &))
{
    main.enableCommand(QLatin1String(name));
    QObject::connect(main.button(QLatin1String(name)), &QPushButton::clicked, &main,
                     [&main, command] { Messages::guarded(&main, [&main, command] { command(main); }); });
}

void connectDoubleClick(TFmain &main, TDBGridEx *grid, void (*command)(TFmain &))
{
    QObject::connect(grid, &QAbstractItemView::doubleClicked, &main,
                     [&main, command] { Messages::guarded(&main, [&main, command] { command(main); }); });
}

} // namespace

void connectEstimateCommands(TFmain &main)
{
    connectCommand(main, "MitumoriSakuseiBTN", &MitumoriSakuseiBTNClick);
    connectCommand(main, "MitumoriSyuseiBTN", &MitumoriSyuseiBTNClick);
    connectCommand(main, "MitumoriInsatuBTN", &MitumoriInsatuBTNClick);
    connectCommand(main, "Mitumori2NohinBTN", &Mitumori2NohinBTNClick);
    connectCommand(main, "NohinSakuseiBTN", &NohinSakuseiBTNClick);
    connectCommand(main, "NohinSyuseiBTN", &NohinSyuseiBTNClick);
    connectCommand(main, "NohinInsatuBTN", &NohinInsatuBTNClick);
    connectDoubleClick(main, main.MitumoriGrid, &MitumoriSyuseiBTNClick);
    connectDoubleClick(main, main.NohinGrid, &NohinSyuseiBTNClick);
}

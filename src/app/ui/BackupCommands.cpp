#include "app/ui/BackupCommands.h"

#include "app/CsvExport.h"
#include "app/MainLists.h"
#include "app/ui/TFmain.h"
#include "billing/ui/ReceivablesPage.h"
#include "common/Clock.h"
#include "controls/CsvExportMenu.h"
#include "controls/FileChoice.h"
#include "controls/Messages.h"
#include "controls/TDBGridEx.h"
#include "data/Backup.h"
#include "data/TDMdata.h"
#include "masters/ui/TFcsvImport.h"

#include <QApplication>
#include <QMenu>
#include <QProgressDialog>
#include <QTabWidget>

namespace {

QString backupFilters(const TEngineDatabase &db)
{
    return db.dialect() == TEngineDialect::SQLite
               ? QStringLiteral("バックアップ (*.sqlite3);;すべてのファイル (*)")
               : QStringLiteral("バックアップ (*.dump);;すべてのファイル (*)");
}

// A progress window for the backup or restore; the work runs on this thread and reports its
// percentage, so the window is painted as it goes.
class Progress
{
public:
    Progress(QWidget *parent, const QString &text) : m_dialog(text, QString(), 0, 100, parent)
    {
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(0);
        m_dialog.setValue(0);
        QApplication::setOverrideCursor(Qt::WaitCursor);
    }
    ~Progress() { QApplication::restoreOverrideCursor(); }
    Backup::Progress callback()
    {
        return [this](int percent) {
            m_dialog.setValue(percent);
            QApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
        };
    }

private:
    QProgressDialog m_dialog;
};

void reopenLists(TFmain &main)
{
    for (TEngineQuery *q : {main.Qmitumori, main.Qnohin, main.Qnyukin, main.Qseikyu})
        Messages::guarded(&main, [q] { MainLists::reopen(*q); });
}

void importCsv(TFmain &main, CsvImport::Kind kind)
{
    TFcsvImport window(kind, &main);
    window.exec();
}

} // namespace

void BackupBTNClick(TFmain &main)
{
    TEngineDatabase &db = *DMdata->DataDB;
    Messages::guarded(&main, [&] {
        if (!db.Connected())
            db.Open();
        const QString suffix =
            db.dialect() == TEngineDialect::SQLite ? QStringLiteral(".sqlite3") : QStringLiteral(".dump");
        const QString suggested = QStringLiteral("kadomel-%1%2")
                                      .arg(Clock::now().toString(QStringLiteral("yyyyMMdd-HHmm")), suffix);
        const QString path =
            FileChoice::save(&main, QStringLiteral("バックアップ作成"), suggested, backupFilters(db));
        if (path.isEmpty())
            return;
        {
            Progress progress(&main, QStringLiteral("バックアップを作成しています…"));
            Backup::take(db, path, progress.callback());
        }
        Messages::information(&main, QStringLiteral("バックアップを作成しました\n%1").arg(path));
    });
}

void RestoreBTNClick(TFmain &main)
{
    TEngineDatabase &db = *DMdata->DataDB;
    QString kept;
    bool restored = false;
    Messages::guarded(&main, [&] {
        if (!db.Connected())
            db.Open();
        const QString path =
            FileChoice::open(&main, QStringLiteral("バックアップから復元"), backupFilters(db));
        if (path.isEmpty())
            return;
        // The lists let go of the database; they read it again afterwards, restored or not.
        struct Reopen
        {
            TFmain &main;
            ~Reopen() { reopenLists(main); }
        } reopen{main};
        for (TEngineQuery *q : {main.Qmitumori, main.Qnohin, main.Qnyukin, main.Qseikyu})
            q->Close();
        // A restore that cannot be done (another copy connected, no backup of this program's) is
        // refused before the question.
        const Backup::Summary summary = Backup::checkRestorable(db, path);
        if (!Messages::confirmOkCancel(&main, Backup::restoreQuestion(summary)))
            return;
        Progress progress(&main, QStringLiteral("復元しています…"));
        kept = Backup::restore(*DMdata, path, progress.callback());
        restored = true;
    });
    if (restored)
        Messages::information(
            &main, QStringLiteral("復元しました\nそれまでのデータは次のファイルに残しました\n%1").arg(kept));
}

void addBackupCommands(TFmain &main, QMenu *file)
{
    QAction *backup =
        file->addAction(QStringLiteral("バックアップ作成..."), &main, [&main] { BackupBTNClick(main); });
    backup->setObjectName(QStringLiteral("BackupMenu"));
    QAction *restore =
        file->addAction(QStringLiteral("バックアップから復元..."), &main, [&main] { RestoreBTNClick(main); });
    restore->setObjectName(QStringLiteral("RestoreMenu"));
}

void addCsvCommands(TFmain &main, QMenu *data)
{
    const QList<std::tuple<TDBGridEx *, TEngineQuery *, QString>> lists{
        {main.MitumoriGrid, main.Qmitumori, QStringLiteral("見積一覧")},
        {main.NohinGrid, main.Qnohin, QStringLiteral("納品一覧")},
        {main.NyukinGrid, main.Qnyukin, QStringLiteral("入金一覧")},
        {main.SeikyuGrid, main.Qseikyu, QStringLiteral("請求一覧")}};
    // The invoice list carries the invoices' tax columns for the accountant.
    const auto rowsOf = [&main](TEngineQuery *query) {
        return query == main.Qseikyu
                   ? CsvExportMenu::Rows([query] { return CsvExport::invoiceListRows(*query); })
                   : CsvExportMenu::rowsOf(query);
    };
    for (const auto &[grid, query, name] : lists)
        CsvExportMenu::addTo(grid, rowsOf(query), name);
    QAction *exportList = data->addAction(QStringLiteral("一覧をCSV出力..."), &main, [&main, lists, rowsOf] {
        if (main.PageControl1->currentWidget() == main.UrikakePage) {
            main.UrikakePage->exportCsv();
            return;
        }
        const int page = main.PageControl1->currentIndex();
        if (page < 0 || page >= lists.size()) {
            Messages::information(&main,
                                  QStringLiteral("見積・納品・入金・請求・売掛のページで実行してください"));
            return;
        }
        const auto &[grid, query, name] = lists.at(page);
        CsvExportMenu::exportRows(&main, rowsOf(query), name);
    });
    exportList->setObjectName(QStringLiteral("CsvExportMenu"));
    data->addAction(QStringLiteral("取引先CSV取込..."), &main,
                    [&main] { importCsv(main, CsvImport::Kind::Customers); })
        ->setObjectName(QStringLiteral("CustomerCsvImportMenu"));
    data->addAction(QStringLiteral("商品CSV取込..."), &main,
                    [&main] { importCsv(main, CsvImport::Kind::Products); })
        ->setObjectName(QStringLiteral("ProductCsvImportMenu"));
}

void takeDailyBackup(TFmain &main)
{
    TEngineDatabase &db = *DMdata->DataDB;
    if (!db.Connected() || db.dialect() != TEngineDialect::SQLite)
        return;
    try {
        Backup::takeDaily(Backup::localDatabaseFile(db), Backup::backupFolder(db), Clock::today(),
                          Backup::dailyKeepSetting());
    } catch (const AppError &e) {
        Messages::warning(&main, QStringLiteral("自動バックアップを作成できませんでした\n") + e.message());
    }
}

#pragma once
// The main window's backup and CSV commands: ファイル "バックアップ作成..." and "バックアップから復元...",
// ﾃﾞｰﾀ "一覧をCSV出力...", "取引先CSV取込..." and "商品CSV取込...", "CSV出力..." in the context menu of
// each document list, and the daily backup of the local database at the first start of a day.
class QMenu;
class TFmain;

void addBackupCommands(TFmain &main, QMenu *file);
void addCsvCommands(TFmain &main, QMenu *data);

void BackupBTNClick(TFmain &main);
void RestoreBTNClick(TFmain &main);

// At start, once connected: the day's backup of a local database (kadomel.ini [Backup] keep, 14 by
// default, 0 for none). A failure is told and the start goes on.
void takeDailyBackup(TFmain &main);

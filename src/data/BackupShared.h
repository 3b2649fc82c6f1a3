#pragma once
// What the backups of both engines share: the refusal while other copies are connected, the tables
// counted in a backup's summary, the name the database is kept under before a restore.
#include <QString>
#include <QStringList>

namespace BackupShared {

inline const QString kOthersConnected = QStringLiteral(
    "ほかのコンピュータ（またはこのコンピュータのもう一つのプログラム）がデータベースに接続しているため、"
    "復元できません。ほかのプログラムを終了してから、もう一度実行してください。");

// How long a restore waits for connections that are closing (an ended copy, a backup's pg_dump).
inline constexpr int kSoleUseWaitMs = 3000;

// The tables counted in a backup's summary, in the order of Summary's fields.
inline constexpr const char *kCountedTables[] = {"Torihikisaki", "Mitumori", "Nohin", "Seikyu", "Nyukin"};

// The refusal, with those still connected when they are known.
[[noreturn]] void refuseOthersConnected(const QStringList &who = {});

// A free name in `folder` for the database as it was before a restore; never one already there
// (that may be the very backup being restored).
QString keptName(const QString &folder, const QString &suffix);
void ensureFolderOf(const QString &file);

// An engine's or tool's message about a failed write, with what happened said first in words
// (the disk is full, the device failed).
QString explained(const QString &message);

} // namespace BackupShared

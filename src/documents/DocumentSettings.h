#pragma once
// The settings row (key 0) of each document kind: numbering method and elements, where the seal is
// printed, the kind of form and the remarks. The settings dialogs edit it; the numbering reads its
// first part (Numbering::readSettings) and the layouts the rest.
#include "documents/Numbering.h"

#include <optional>
#include <QString>
#include <QStringList>

class TEngineDatabase;

namespace DocumentSettings {

// What sets the four members of the settings family apart.
struct Member
{
    Numbering::Kind kind;
    QString table;           // as the statements spell it: "MitumoriSettei", "seikyuSettei"
    QString windowName;      // object name, the window's section in the configuration file
    QString caption;         // "見積書設定"
    QString numberCaption;   // "見積№"
    QString formKindCaption; // "見積書種類"
    QString defaultMethod;   // of a new row; also chosen when the stored method is none of the five
    QString syurui;          // the one form kind
    bool remarks;            // receipts have none
    int clientHeight;        // the designed height; all are 492 wide
};
const Member &member(Numbering::Kind kind);

// The initial text of the remarks memo (three lines); empty for receipts.
QStringList defaultRemarks(Numbering::Kind kind);

struct Record
{
    QString SaibanHouhou;
    QString Fuka1;
    QString Fuka2;
    QString Fuka3;
    std::optional<int> top; // NULL in an older row
    std::optional<int> left;
    QString Syurui;
    QStringList Bikou;
};

// The row the dialog inserts when its table has none, with the given remarks. Until then the kind's
// documents are numbered by this row's method and elements (Numbering::readSettings), so that the
// first documents get the numbers the dialog shows for a new row.
Record defaultRow(Numbering::Kind kind, const QStringList &remarks = {});

// The row, inserted first as the default row (remarks: the given lines) when the table has none.
// Two computers doing this at once insert it once.
Record loadOrCreate(TEngineDatabase &db, Numbering::Kind kind, const QStringList &remarks);
// Updates the row; throws EngineError when it is gone (another computer emptied the table).
// Height and width keep what the default row set.
void save(TEngineDatabase &db, Numbering::Kind kind, const Record &record);

} // namespace DocumentSettings

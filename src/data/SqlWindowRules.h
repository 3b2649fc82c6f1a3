#pragma once
// The rules of the SQL window: which statements it runs, refuses or asks about, the clipboard text
// of a result, and the statement files it loads and saves. No windows here.
#include <QString>

class TEngineDatabase;
class TEngineQuery;

namespace SqlWindowRules {

enum class Verdict {
    RefuseCreate, // "CREATE操作は禁止です"
    RefuseAlter,  // "ALTER操作は禁止です"
    RefuseDrop,   // "DROP操作は禁止です"
    Open,         // a select: opened, its rows shown
    AskAndRun,    // delete, update or insert: run after the user confirms
    Invalid,      // "SQL文に誤りがあります"
};

// Decides by the first line of the text, trimmed and in upper case. The whole text is what runs,
// so every further statement of it (after a ";") is held to the same rules: a schema change
// anywhere is refused with its message, a select runs alone, and data changes may follow one
// another.
Verdict classify(const QString &text);

// Holds the connection read-only while a select of the window runs: a select can still write on
// some engines (PostgreSQL's SELECT ... INTO creates a table, functions may change data), and the
// window lets a select through without asking. Undone when it goes out of scope.
class ReadOnlyScope
{
public:
    explicit ReadOnlyScope(TEngineDatabase &db);
    ~ReadOnlyScope();
    ReadOnlyScope(const ReadOnlyScope &) = delete;
    ReadOnlyScope &operator=(const ReadOnlyScope &) = delete;

private:
    TEngineDatabase &m_db;
};

// The message of a refusal; empty for Open and AskAndRun.
QString refusalMessage(Verdict verdict);

// Asked before a data-changing statement runs (OK and Cancel).
QString confirmText();

// The open query's rows as tab-separated text for the clipboard: a header line of column titles,
// then one line per row, every line ended by a line feed. Binary values are empty;
// line breaks inside a text value are dropped, so that each row stays one line. The query's
// current row is left where it was. The query is one read whole (not page by page).
QString copyText(TEngineQuery &query);

// Statement files: written in UTF-8; read as UTF-8, or as Shift-JIS (code page 932) when the
// bytes are no valid UTF-8. Line ends of either kind are read as line breaks. Failures throw
// AppError with the file error message.
QString readStatementFile(const QString &path);
void writeStatementFile(const QString &path, const QString &text);

// The name with ".SQL" added when it has no extension.
QString withDefaultExtension(const QString &path);

} // namespace SqlWindowRules

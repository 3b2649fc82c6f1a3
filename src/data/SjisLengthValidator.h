#pragma once
// Text columns hold at most so many Shift-JIS bytes (a Japanese character takes two). The
// validator refuses an edit that would make a field's text longer than its column, so typing and
// pasting stop at the limit.
#include <QValidator>

// Bytes the text takes in Shift-JIS (the Windows variant CP932). A character that the code page
// cannot hold counts two bytes per UTF-16 unit, as wide as the widest it could be.
qsizetype sjisByteLength(QStringView text);

// The byte length of a text column of the schema ("Torihikisaki", "TorihikisakiNM" -> 60); 0 when
// the table has no such text column.
int columnByteLength(const QString &table, const QString &column);

class SjisLengthValidator : public QValidator
{
    Q_OBJECT
public:
    SjisLengthValidator(int maxBytes, QObject *parent = nullptr);

    int maxBytes() const { return m_maxBytes; }
    State validate(QString &input, int &pos) const override;

private:
    int m_maxBytes;
};

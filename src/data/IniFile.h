#pragma once
// The configuration file in the private-profile format: "[Section]" lines open a section, entries
// are "Key=Value". Section and key names are compared without regard to case, a value is the rest
// of the line, unknown sections and keys are kept, and an integer that is not a number reads as its
// default. Every write goes to disk at once, atomically (temporary file and rename) with mode 0600,
// because the file holds the server password. The file is written in UTF-8; one in Shift-JIS (from a
// Windows installation) is read as such.
#include <QString>
#include <QStringList>

class IniFile
{
public:
    explicit IniFile(QString path);

    // A configuration file that is no text (binary garbage, a damaged disk block) would be read as
    // defaults and overwritten by the next write. This keeps it: when the file at path exists and
    // is no text, it is renamed to the first free name of path + ".bad", ".bad.1", ".bad.2", … and
    // that name is returned; otherwise (no file, a text, a file that cannot be opened) nothing
    // happens and the result is empty. Throws AppError when the file cannot be renamed.
    static QString setAsideIfNotText(const QString &path);
    // What the user is told then: the file, the name it was kept under, and that the program
    // starts with the default settings.
    static QString setAsideNotice(const QString &path, const QString &aside);

    const QString &path() const { return m_path; }

    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    int readInteger(const QString &section, const QString &key, int def) const;
    bool hasValue(const QString &section, const QString &key) const;

    // Changes the value and writes the file; throws AppError when it cannot be written.
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeInteger(const QString &section, const QString &key, int value);
    // Several writes at once: changes in memory only, then one flush().
    void setString(const QString &section, const QString &key, const QString &value);
    void flush();

private:
    struct Entry
    {
        QString key;
        QString value;
    };
    struct Section
    {
        QString name;
        QList<Entry> entries;
    };

    void load();
    const Entry *find(const QString &section, const QString &key) const;
    QByteArray serialise() const;

    QString m_path;
    QList<Section> m_sections;
};

#include "data/IniFile.h"

#include "common/AppError.h"
#include "common/TextFiles.h"

#include <QFile>
#include <QSaveFile>

IniFile::IniFile(QString path) : m_path(std::move(path))
{
    load();
}

QString IniFile::setAsideIfNotText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || isText(file.readAll()))
        return {};
    file.close();
    int n = 0;
    for (;;) {
        const QString aside = path + (n == 0 ? QStringLiteral(".bad") : QStringLiteral(".bad.%1").arg(n));
        ++n;
        if (QFile::exists(aside))
            continue;
        if (file.rename(aside))
            return aside;
        if (!QFile::exists(path))
            return {}; // another copy of the program set it aside meanwhile
        if (!QFile::exists(aside))
            throw AppError(
                QStringLiteral("設定ファイルの名前を変更できません: %1\n%2").arg(path, file.errorString()));
    }
}

QString IniFile::setAsideNotice(const QString &path, const QString &aside)
{
    return QStringLiteral("設定ファイルがテキストではないため読み込めません。\n%1\n"
                          "元のファイルを %2 として残し、初期設定で起動します。")
        .arg(path, aside);
}

void IniFile::load()
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QString text = decodeUtf8OrCp932(file.readAll());
    Section *current = nullptr;
    for (QString line : text.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        const QString trimmed = line.trimmed();
        if (trimmed.startsWith(QLatin1Char('[')) && trimmed.endsWith(QLatin1Char(']'))) {
            const QString name = trimmed.mid(1, trimmed.size() - 2).trimmed();
            auto it = std::find_if(m_sections.begin(), m_sections.end(), [&](const Section &s) {
                return s.name.compare(name, Qt::CaseInsensitive) == 0;
            });
            if (it == m_sections.end()) {
                m_sections.append({name, {}});
                current = &m_sections.last();
            } else {
                current = &*it;
            }
            continue;
        }
        const qsizetype eq = line.indexOf(QLatin1Char('='));
        if (!current || eq <= 0)
            continue; // lines outside a section and lines without a key are dropped on rewrite
        const QString key = line.left(eq).trimmed();
        if (key.isEmpty() || find(current->name, key))
            continue;
        current->entries.append({key, line.mid(eq + 1).trimmed()});
    }
}

const IniFile::Entry *IniFile::find(const QString &section, const QString &key) const
{
    for (const Section &s : m_sections) {
        if (s.name.compare(section, Qt::CaseInsensitive) != 0)
            continue;
        for (const Entry &e : s.entries)
            if (e.key.compare(key, Qt::CaseInsensitive) == 0)
                return &e;
    }
    return nullptr;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    const Entry *e = find(section, key);
    return e ? e->value : def;
}

int IniFile::readInteger(const QString &section, const QString &key, int def) const
{
    const Entry *e = find(section, key);
    if (!e)
        return def;
    bool ok = false;
    const int v = e->value.toInt(&ok);
    return ok ? v : def;
}

bool IniFile::hasValue(const QString &section, const QString &key) const
{
    return find(section, key);
}

void IniFile::setString(const QString &section, const QString &key, const QString &value)
{
    QString clean = value;
    clean.replace(QLatin1Char('\r'), QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
    if (auto *e = const_cast<Entry *>(find(section, key))) {
        e->value = clean;
        return;
    }
    auto it = std::find_if(m_sections.begin(), m_sections.end(), [&](const Section &s) {
        return s.name.compare(section, Qt::CaseInsensitive) == 0;
    });
    if (it == m_sections.end()) {
        m_sections.append({section, {}});
        it = std::prev(m_sections.end());
    }
    it->entries.append({key, clean});
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    setString(section, key, value);
    flush();
}

void IniFile::writeInteger(const QString &section, const QString &key, int value)
{
    writeString(section, key, QString::number(value));
}

QByteArray IniFile::serialise() const
{
    QByteArray out;
    for (const Section &s : m_sections) {
        out += '[' + s.name.toUtf8() + "]\n";
        for (const Entry &e : s.entries)
            out += e.key.toUtf8() + '=' + e.value.toUtf8() + '\n';
        out += '\n';
    }
    return out;
}

void IniFile::flush()
{
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(serialise()) < 0 || !file.commit())
        throw AppError(QStringLiteral("設定ファイルに書き込めません: ") + m_path);
}

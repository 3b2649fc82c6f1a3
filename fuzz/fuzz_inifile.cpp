// The configuration reader, fed any file: as at start, a file that is no text is set aside under
// another name; what is read, written back with one more value and read again, keeps every value.
#include "data/ConnectionSettings.h"
#include "data/IniFile.h"

#include <cstdlib>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace {

const QString &folder()
{
    static QTemporaryDir dir;
    static const QString path = dir.path();
    return path;
}

void writeFile(const QString &path, const QByteArray &bytes)
{
    QFile::remove(path);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        std::abort();
}

bool sameSettings(const ConnectionSettings &a, const ConnectionSettings &b)
{
    return a.type == b.type && a.folder == b.folder && a.ip == b.ip && a.port == b.port && a.name == b.name &&
           a.user == b.user && a.pass == b.pass;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString path = folder() + QStringLiteral("/kadomel.ini");
    QDir(folder()).removeRecursively();
    QDir().mkpath(folder());
    writeFile(path, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));

    const QString aside = IniFile::setAsideIfNotText(path);
    if (!aside.isEmpty() && (QFile::exists(path) || !QFile::exists(aside)))
        std::abort();

    IniFile ini(path);
    const ConnectionSettings read = ConnectionSettings::read(ini);

    // A write of one value keeps every other value as it was read.
    ini.writeString(QStringLiteral("Kadomel"), QStringLiteral("FuzzMark"), QStringLiteral("1"));
    const IniFile again(path);
    if (!sameSettings(ConnectionSettings::read(again), read))
        std::abort();
    if (again.readString(QStringLiteral("kadomel"), QStringLiteral("fuzzmark")) != QLatin1String("1"))
        std::abort();
    return 0;
}

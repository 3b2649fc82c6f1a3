#include "data/ConnectionSettings.h"

#include "data/AppPaths.h"
#include "data/IniFile.h"

#include <QDir>

namespace {
const QString kSection = QStringLiteral("DB");
}

ConnectionSettings ConnectionSettings::read(const IniFile &ini)
{
    ConnectionSettings s;
    s.type = ini.readString(kSection, QStringLiteral("type"), QStringLiteral("local"));
    s.folder = ini.readString(kSection, QStringLiteral("folder"), AppPaths::defaultDatabaseFolder());
    s.ip = ini.readString(kSection, QStringLiteral("ip"));
    s.port = ini.readInteger(kSection, QStringLiteral("port"), 12005);
    s.name = ini.readString(kSection, QStringLiteral("name"));
    s.user = ini.readString(kSection, QStringLiteral("user"));
    s.pass = ini.readString(kSection, QStringLiteral("pass"));
    return s;
}

void ConnectionSettings::write(IniFile &ini) const
{
    ini.setString(kSection, QStringLiteral("type"), type);
    ini.setString(kSection, QStringLiteral("folder"), folder);
    ini.setString(kSection, QStringLiteral("ip"), ip);
    ini.setString(kSection, QStringLiteral("port"), QString::number(port));
    ini.setString(kSection, QStringLiteral("name"), name);
    ini.setString(kSection, QStringLiteral("user"), user);
    ini.setString(kSection, QStringLiteral("pass"), pass);
    ini.flush();
}

void ConnectionSettings::applyTo(TEngineSession &session, TEngineDatabase &db) const
{
    // Both modes' values are set, so that the ones of the mode not in use survive a later change of
    // connection through the dialog.
    session.PrivateDir = QDir::tempPath();
    session.SessionType = isLocal() ? TSessionType::stLocal : TSessionType::stRemote;
    db.Directory = folder;
    session.RemoteAddress = ip;
    session.RemotePort = port;
    session.RemoteUser = user;
    session.RemotePassword = pass;
    db.RemoteDatabase = name;
}

ConnectionSettings ConnectionSettings::takenFrom(const TEngineSession &session, const TEngineDatabase &db)
{
    ConnectionSettings s;
    s.type =
        session.SessionType == TSessionType::stRemote ? QStringLiteral("remote") : QStringLiteral("local");
    s.folder = db.Directory;
    s.ip = session.RemoteAddress;
    s.port = session.RemotePort;
    s.user = session.RemoteUser;
    s.pass = session.RemotePassword;
    s.name = db.RemoteDatabase;
    return s;
}

bool connectAtStart(const ConnectionSettings &settings, TEngineSession &session, TEngineDatabase &db)
{
    db.Close();
    settings.applyTo(session, db);
    try {
        db.Open();
        return true;
    } catch (const EngineError &) {
        return false;
    }
}

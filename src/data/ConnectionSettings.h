#pragma once
// The seven values of the configuration section "DB": where the database is. Read at start,
// replaced by the connection dialog after a successful connection, written back at the end.
#include "data/Engine.h"

#include <QString>

class IniFile;

struct ConnectionSettings
{
    QString type = QStringLiteral("local"); // exactly "local" means a database folder; anything else a server
    QString folder;
    QString ip;
    int port = 12005;
    QString name;
    QString user;
    QString pass;

    bool isLocal() const { return type == QLatin1String("local"); }

    static ConnectionSettings read(const IniFile &ini);
    void write(IniFile &ini) const;

    // Points the session and database at these settings (the connection itself is made by Open).
    void applyTo(TEngineSession &session, TEngineDatabase &db) const;
    // The values the session and database hold after a successful connection.
    static ConnectionSettings takenFrom(const TEngineSession &session, const TEngineDatabase &db);
};

// Connects at start: applies the settings and opens the database. False when it failed (the
// caller shows "データベースへの接続に失敗しました"); the database then stays closed.
bool connectAtStart(const ConnectionSettings &settings, TEngineSession &session, TEngineDatabase &db);

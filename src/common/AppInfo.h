#pragma once
// What the program says about itself: its name, version text, home page, contact address and
// licence.
// The about box and the readme take them from here.
#include "common/Version.h"

#include <QString>
#include <QUrl>

namespace AppInfo {

inline constexpr char kProductName[] = "Kadomel";
inline constexpr char kHomePage[] = "https://kadomel.example/";
inline constexpr char kContactAddress[] = "support@kadomel.example";
// The licence under which the program is given (LICENSE at the root of the sources, the package's
// copyright file).
inline constexpr char kCopyright[] = "Copyright (c) 2026 The Kadomel developers";
inline constexpr char kLicence[] = "MIT License";

// False while the home page is a reserved example address (".example"), which no one can visit.
inline bool hasRealHomePage()
{
    const QString host = QUrl(QString::fromLatin1(kHomePage)).host();
    return !host.isEmpty() && !host.endsWith(QStringLiteral(".example")) && host != QStringLiteral("example");
}

// "Version 1.03": the number with two decimals.
inline QString versionText()
{
    return QStringLiteral("Version ") +
           QString::number(QString::fromLatin1(Version::kText).toDouble(), 'f', 2);
}

// "kadomel-cli 1.03": what --version prints, the version as the package has it.
inline QString versionLine(const char *program)
{
    return QString::fromLatin1(program) + QLatin1Char(' ') + QString::fromLatin1(Version::kText);
}

} // namespace AppInfo

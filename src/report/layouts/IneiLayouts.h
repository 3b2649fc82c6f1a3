#pragma once
// The two sheets of the own-company window: the seal test sheet, which prints the seal picture at
// the size typed in (before it is saved), and the seal-data request sheet, an instruction and
// order sheet for an outside service that digitises a seal impression.
#include "report/layouts/ReportLayout.h"

#include <QImage>

class TLRLayoutPanel;

class IneiTestLayout : public ReportLayout
{
    Q_OBJECT
public:
    IneiTestLayout(TLightRep &root, TEngineDatabase &db, QObject *parent = nullptr);

    // The picture (in memory, not yet saved) and the size to print it at, in layout units.
    void setSeal(const QByteArray &picture, int height, int width);
    // Opens the master: one page per own-company row.
    void FormShow() override;
};

class IneiDataLayout : public ReportLayout
{
    Q_OBJECT
public:
    IneiDataLayout(TLightRep &root, TEngineDatabase &db, QObject *parent = nullptr);

    // Opens the master and takes the service's address from the configuration file.
    void FormShow() override;
};

// The service's postal code, address, company and addressee: the configuration file's section
// "IneiService", keys "Yubin", "Jyusyo", "Kaisya" and "Atena", each empty when missing.
QStringList ineiServiceAddress();

#pragma once
// Documents put into a test database the way the editors will store them: the own-company row
// with a seal picture and bank accounts, customers, the settings rows, estimates and delivery
// notes with their lines, invoices with theirs, and payments. For the layout tests and for later
// tests of the commands that print.
#include <QDate>
#include <QImage>
#include <QList>
#include <QString>
#include <QVariant>

class TEngineDatabase;

struct FixtureCustomer
{
    QString name = QStringLiteral("株式会社テスト商事");
    QString keisyo = QStringLiteral("御中");
    QString yubin = QStringLiteral("100-0001");
    QString jyusyo1 = QStringLiteral("東京都千代田区千代田1-1");
    QString jyusyo2 = QStringLiteral("テストビル3F");
    QString busyo;
    QString tantosya;
};

// One document line; a null QVariant stores NULL.
struct FixtureLine
{
    QString name;
    QVariant suryo;
    QString tani;
    QVariant tanka;
    QVariant kingaku;
    QDate nohinYmd; // invoice lines only
    QString nohinNo;
};

struct FixtureInvoice
{
    QString no = QStringLiteral("S-0001");
    QDate hakko{2010, 5, 31};
    QDate simebi{2010, 5, 31};
    int zenkai = 10000;
    int nyukin = 3000;
    int hanbai = 0;
    int seikyu = 0;
};

class DocumentFixture
{
public:
    explicit DocumentFixture(TEngineDatabase &db) : m_db(db) {}

    // A solid red square, the seal picture of the tests, as JPEG bytes.
    static QByteArray sealJpeg(int size = 64);
    // Red with white stripes: enough coded data that the file cut at two thirds still decodes, its
    // lower part grey, as a seal cut short in copying would.
    static QByteArray stripedSealJpeg();
    static bool isSealRed(QRgb pixel);

    // The own-company row (key 0) with its seal, printed size and three bank accounts.
    void addCompany(const QByteArray &seal = sealJpeg(), int height = 70, int width = 70);
    // A settings row (key 0) of `table`; RyosyusyouSettei has no remarks column.
    void addSettings(const QString &table, int top = 96, int left = 576, int height = 73, int width = 73,
                     const QStringList &remarks = {QStringLiteral("備考の一行目"), QStringLiteral("二行目")});
    int addCustomer(const FixtureCustomer &customer = {});

    // `count` lines "商品1" … with quantity i, unit "個", price 100 and amount i × 100.
    static QList<FixtureLine> lines(int count);

    int addEstimate(int customer, const QList<FixtureLine> &lines, int total = 12345,
                    const QDate &date = QDate(2010, 1, 5));
    int addDeliveryNote(int customer, const QList<FixtureLine> &lines, int total = 12345,
                        const QDate &date = QDate(2010, 1, 5));
    int addInvoice(int customer, const FixtureInvoice &invoice, const QList<FixtureLine> &lines);
    int addPayment(int customer, int amount, const QString &tadasigaki,
                   const QDate &date = QDate(2010, 6, 10));

private:
    int nextKey(const QString &table);
    void addLines(const QString &table, int key, const QList<FixtureLine> &lines, bool invoice);

    TEngineDatabase &m_db;
};

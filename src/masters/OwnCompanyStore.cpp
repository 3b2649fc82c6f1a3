#include "masters/OwnCompanyStore.h"

#include "masters/PostalLookup.h"

#include "common/PictureBytes.h"
#include "data/Engine.h"
#include "data/IniFile.h"
#include "data/RowStatements.h"

#include <optional>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageReader>
#include <QPainter>

namespace {

const QString kTanto = QStringLiteral("Tanto");
const QString kTable = QStringLiteral("JisyaJyoho");
const QString kKey = QStringLiteral("key"); // the one row has key 0

OwnCompanyRecord readRow(const TEngineQuery &q)
{
    OwnCompanyRecord c;
    c.JisyaNM = q.text("JisyaNM");
    c.Yubin = q.text("Yubin");
    c.Jyusyo1 = q.text("Jyusyo1");
    c.Jyusyo2 = q.text("Jyusyo2");
    c.Tel = q.text("Tel");
    c.Fax = q.text("Fax");
    c.Busyo = q.text("Busyo");
    c.Daihyosya = q.text("Daihyosya");
    c.SeikyuSimebi = q.integer("SeikyuSimebi");
    c.NendoKaisiMM = q.integer("NendoKaisiMM");
    c.Inei = q.bytes("inei");
    c.Height = q.integer("Height");
    c.Width = q.integer("Width");
    for (int i = 0; i < 3; ++i) {
        // The third bank's columns are spelled "Kinyukikan3" and "tenpo3"; names ignore case.
        const QString n = QString::number(i + 1);
        c.accounts[i] = {q.text(QStringLiteral("KinyuKikan") + n), q.text(QStringLiteral("Tenpo") + n),
                         q.text(QStringLiteral("Syumoku") + n), q.text(QStringLiteral("Kouza") + n)};
    }
    const std::optional<int> tekikaku = q.optionalInteger(QStringLiteral("TekikakuKBN"));
    c.taxStored = tekikaku.has_value();
    c.tax.enabled = tekikaku == 1;
    c.tax.registrationNumber = q.text("TourokuNo");
    c.tax.pricesIncludeTax = q.optionalInteger(QStringLiteral("ZeiKomiKBN")) == 1;
    c.tax.rounding = ConsumptionTax::roundingOf(q.optionalInteger(QStringLiteral("ZeiHasuuKBN")));
    return c;
}

bool openRow(TEngineQuery &q)
{
    OwnCompanyStore::selectRows(q, OwnCompanyStore::Rows::KeyZero);
    q.Open();
    return !q.IsEmpty();
}

void saveTax(TEngineDatabase &db, const ConsumptionTax::Settings &tax)
{
    TEngineQuery q(&db);
    q.setSql({RowStatements::updateSql(kTable,
                                       {QStringLiteral("TekikakuKBN"), QStringLiteral("TourokuNo"),
                                        QStringLiteral("ZeiKomiKBN"), QStringLiteral("ZeiHasuuKBN")},
                                       {kKey})});
    q.ParamByName(kKey).setAsInteger(0);
    q.ParamByName(QStringLiteral("TekikakuKBN")).setAsInteger(tax.enabled ? 1 : 0);
    q.ParamByName(QStringLiteral("TourokuNo")).setAsString(tax.registrationNumber.trimmed());
    q.ParamByName(QStringLiteral("ZeiKomiKBN")).setAsInteger(tax.pricesIncludeTax ? 1 : 0);
    q.ParamByName(QStringLiteral("ZeiHasuuKBN")).setAsInteger(int(tax.rounding));
    q.ExecSQL();
}

} // namespace

StaffMember StaffMember::read(const IniFile &ini)
{
    return {ini.readString(kTanto, QStringLiteral("Name")), ini.readString(kTanto, QStringLiteral("Mail"))};
}

void StaffMember::write(IniFile &ini) const
{
    ini.setString(kTanto, QStringLiteral("Name"), Name);
    ini.setString(kTanto, QStringLiteral("Mail"), Mail);
    ini.flush();
}

namespace OwnCompanyStore {

QByteArray blankSeal()
{
    QFile file(QStringLiteral(":/masters/NullImage.jpg"));
    file.open(QIODevice::ReadOnly);
    return file.readAll();
}

QStringList accountTypes()
{
    return {QString(), QStringLiteral("普通"), QStringLiteral("当座")};
}

bool lacksName(TEngineDatabase &db)
{
    const std::optional<OwnCompanyRecord> company = load(db);
    return !company || company->JisyaNM.trimmed().isEmpty();
}

void selectRows(TEngineQuery &q, Rows rows)
{
    q.setSql({QStringLiteral("select * from jisyaJyoho")});
    if (rows == Rows::KeyZero)
        q.addSql(QStringLiteral("where key = 0"));
}

std::optional<OwnCompanyRecord> load(TEngineDatabase &db)
{
    TEngineQuery q(&db);
    if (!openRow(q))
        return std::nullopt;
    return readRow(q);
}

OwnCompanyRecord loadOrCreate(TEngineDatabase &db)
{
    TEngineQuery q(&db);
    if (openRow(q))
        return readRow(q);
    TEngineTransaction transaction(db);
    db.LockForNumbering(QStringLiteral("JisyaJyoho"));
    if (!openRow(q)) { // another computer may have created it while this one waited
        q.setSql(
            {QStringLiteral("insert into jisyaJyoho (key, Inei, SeikyuSimebi, NendoKaisiMM, Height, Width)"),
             QStringLiteral("Values(0, :Inei, 99, 4, 70, 70)")});
        q.ParamByName(QStringLiteral("Inei")).setAsBlob(blankSeal());
        q.ExecSQL();
        openRow(q);
    }
    const OwnCompanyRecord company = readRow(q);
    q.Close();
    transaction.commit();
    return company;
}

void validate(const OwnCompanyRecord &c)
{
    if (!(c.SeikyuSimebi >= 1 && c.SeikyuSimebi <= 31) && c.SeikyuSimebi != 99)
        throw ConvertError(QStringLiteral("請求締日は 1～31 の日、または月末の 99 を入力してください"));
    if (c.NendoKaisiMM < 1 || c.NendoKaisiMM > 12)
        throw ConvertError(QStringLiteral("年度開始月は 1～12 の月を入力してください"));
    if (const QString refusal = registrationRefusal(c.tax); !refusal.isEmpty())
        throw ConvertError(refusal);
}

void save(TEngineDatabase &db, const OwnCompanyRecord &c)
{
    validate(c);
    TEngineQuery q(&db);
    q.setSql({RowStatements::updateSql(kTable, RowStatements::schemaColumns(kTable, {kKey}), {kKey})});
    q.ParamByName(kKey).setAsInteger(0);
    const std::pair<const char *, QString> texts[] = {
        {"JisyaNM", c.JisyaNM}, {"Yubin", PostalLookup::storedCode(c.Yubin)},
        {"Jyusyo1", c.Jyusyo1}, {"Jyusyo2", c.Jyusyo2},
        {"Tel", c.Tel},         {"Fax", c.Fax},
        {"Busyo", c.Busyo},     {"Daihyosya", c.Daihyosya}};
    for (const auto &[name, value] : texts)
        q.ParamByName(QLatin1String(name)).setAsString(value);
    q.ParamByName(QStringLiteral("SeikyuSimebi")).setAsInteger(c.SeikyuSimebi);
    q.ParamByName(QStringLiteral("NendoKaisiMM")).setAsInteger(c.NendoKaisiMM);
    q.ParamByName(QStringLiteral("Height")).setAsInteger(c.Height);
    q.ParamByName(QStringLiteral("Width")).setAsInteger(c.Width);
    if (c.Inei.isEmpty())
        q.ParamByName(QStringLiteral("Inei")).setNullBlob();
    else
        q.ParamByName(QStringLiteral("Inei")).setAsBlob(c.Inei);
    for (int i = 0; i < 3; ++i) {
        const QString n = QString::number(i + 1);
        q.ParamByName(QStringLiteral("KinyuKikan") + n).setAsString(c.accounts[i].KinyuKikan);
        q.ParamByName(QStringLiteral("Tenpo") + n).setAsString(c.accounts[i].Tenpo);
        q.ParamByName(QStringLiteral("Syumoku") + n).setAsString(c.accounts[i].Syumoku);
        q.ParamByName(QStringLiteral("Kouza") + n).setAsString(c.accounts[i].Kouza);
    }
    TEngineTransaction transaction(db);
    q.ExecSQL();
    if (q.RowsAffected() == 0)
        throw EngineError(QStringLiteral("自社情報が見つかりません（ほかのコンピュータで削除されました）"));
    if (c.tax.enabled || c.taxStored)
        saveTax(db, c.tax);
    transaction.commit();
}

ConsumptionTax::Settings taxSettings(TEngineDatabase &db)
{
    const std::optional<OwnCompanyRecord> company = load(db);
    return company ? company->tax : ConsumptionTax::Settings{};
}

QString registrationNumberFromText(const QString &text)
{
    QString number = text.normalized(QString::NormalizationForm_KC).trimmed();
    if (number.startsWith(QLatin1Char('t')))
        number[0] = QLatin1Char('T');
    return number;
}

QString registrationRefusal(const ConsumptionTax::Settings &tax)
{
    if (!tax.enabled)
        return {};
    const QString number = tax.registrationNumber.trimmed();
    if (number.isEmpty())
        return QStringLiteral("適格請求書を発行するには登録番号（T＋13桁）を入力してください");
    if (!ConsumptionTax::isWellFormedRegistrationNumber(number))
        return QStringLiteral("登録番号「%1」は「T」と13桁の数字の形ではありません。"
                              "通知書の番号を入力してください")
            .arg(number);
    if (!ConsumptionTax::hasValidCheckDigit(number))
        return QStringLiteral("登録番号「%1」のチェックデジット（Tの次の数字）が合いません。"
                              "通知書の番号を確かめて入力してください")
            .arg(number);
    return {};
}

QByteArray sealFromFile(const QString &path)
{
    QImageReader reader(path);
    reader.setDecideFormatFromContent(true);
    const QByteArray format = reader.format();
    const QImage picture = reader.read();
    const auto refuse = [&path](const QString &reason) {
        return AppError(QStringLiteral("「%1」は読み込める画像ではありません。\r\n（%2）").arg(path, reason));
    };
    if (picture.isNull())
        throw refuse(reader.errorString());
    // Qt draws a JPEG or bitmap cut short without complaint, its missing part grey or black.
    if (PictureBytes::isTakenFormat(format)) {
        QFile file(path);
        const QByteArray bytes = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        if (PictureBytes::isCutShort(bytes, format))
            throw refuse(QStringLiteral("画像が途中で切れています"));
        if (format == "jpeg")
            return bytes;
    }
    QImage opaque(picture.size(), QImage::Format_RGB32);
    opaque.fill(Qt::white);
    QPainter(&opaque).drawImage(0, 0, picture);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    opaque.save(&buffer, "JPEG", 95);
    return bytes;
}

} // namespace OwnCompanyStore

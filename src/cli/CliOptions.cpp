#include "cli/CliOptions.h"

#include "app/CsvExport.h"
#include "common/Csv.h"
#include "masters/CsvImport.h"
#include "report/layouts/DocumentOutput.h"

namespace {

// Takes the value that follows an option.
QString valueOf(const QStringList &args, qsizetype &i)
{
    if (i + 1 >= args.size() || args.at(i + 1).startsWith(QLatin1String("--")))
        throw CliError(QStringLiteral("%1 の後に値を指定してください").arg(args.at(i)));
    return args.at(++i);
}

int keyOf(const QString &text)
{
    bool ok = false;
    const int key = text.toInt(&ok);
    if (!ok || key <= 0)
        throw CliError(QStringLiteral("--key には正の整数を指定してください（'%1'）").arg(text));
    return key;
}

int customerOf(const QString &text)
{
    bool ok = false;
    const int key = text.toInt(&ok);
    if (!ok || key <= 0)
        throw CliError(
            QStringLiteral("--customer には取引先の key（正の整数）を指定してください（'%1'）").arg(text));
    return key;
}

int dayOf(const QString &text)
{
    bool ok = false;
    const int day = text.toInt(&ok);
    if (!ok || !((day >= 1 && day <= 31) || day == 99))
        throw CliError(
            QStringLiteral("--day には締日 1～31 か 99（月末）を指定してください（'%1'）").arg(text));
    return day;
}

QDate dateOf(const QString &option, const QString &text)
{
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
    if (!date.isValid())
        throw CliError(
            QStringLiteral("%1 には日付を yyyy/mm/dd で指定してください（'%2'）").arg(option, text));
    return date;
}

// The table of export or import and the file, from the words after the command.
void takeTableAndFile(CliOptions &o, QStringList &positional, const QStringList &tables)
{
    if (positional.isEmpty() || !tables.contains(positional.first()))
        throw CliError(
            QStringLiteral("%1 のいずれかを指定してください").arg(tables.join(QStringLiteral("|"))));
    o.table = positional.takeFirst();
    if (positional.isEmpty())
        throw CliError(QStringLiteral("CSV ファイルを指定してください"));
    o.file = positional.takeFirst();
}

QDate closingOf(const QString &text)
{
    const QDate date = QDate::fromString(text, QStringLiteral("yyyy/MM/dd"));
    if (!date.isValid())
        throw CliError(
            QStringLiteral("--closing には請求締日を yyyy/mm/dd で指定してください（'%1'）").arg(text));
    return date;
}

void checkInvoiceRun(const CliOptions &o)
{
    if (!o.closing.isValid())
        throw CliError(QStringLiteral("請求締日を --closing yyyy/mm/dd で指定してください"));
    if (o.day.has_value() == o.customer.has_value())
        throw CliError(QStringLiteral("--day D か --customer K のどちらか一つを指定してください"));
}

void checkEncoding(const CliOptions &o)
{
    if (!Csv::encodingFromName(o.encoding))
        throw CliError(
            QStringLiteral("--encoding には utf-8 か cp932 を指定してください（'%1'）").arg(o.encoding));
}

void checkReceivables(const CliOptions &o)
{
    if (o.csv.isEmpty() == o.pdf.isEmpty())
        throw CliError(QStringLiteral("--csv FILE か --pdf FILE のどちらか一つを指定してください"));
    checkEncoding(o);
}

void checkRender(const CliOptions &o)
{
    const std::optional<DocumentOutput::Kind> kind = DocumentOutput::kindFromName(o.kind);
    if (!kind)
        throw CliError(QStringLiteral("--kind には %1 のいずれかを指定してください（'%2'）")
                           .arg(DocumentOutput::kindNames().join(QStringLiteral(", ")), o.kind));
    const bool byClosing = o.closing.isValid();
    if (byClosing && *kind != DocumentOutput::Kind::Seikyu)
        throw CliError(QStringLiteral("--closing は --kind seikyu にだけ指定できます"));
    if (byClosing && !o.keys.isEmpty())
        throw CliError(QStringLiteral("--closing と --key は同時に指定できません"));
    if (o.withSettled && !byClosing)
        throw CliError(QStringLiteral("--with-settled は --closing と一緒に指定してください"));
    if (!byClosing && DocumentOutput::takesKeys(*kind) == o.keys.isEmpty())
        throw CliError(DocumentOutput::takesKeys(*kind)
                           ? QStringLiteral("印刷する帳票を --key で指定してください")
                           : QStringLiteral("%1 には --key を指定できません").arg(o.kind));
    if (o.pdf.isEmpty() == o.pngFolder.isEmpty())
        throw CliError(QStringLiteral("--pdf FILE か --png DIR のどちらか一つを指定してください"));
}

} // namespace

QString CliOptions::usage()
{
    return QStringLiteral(
        "使い方: kadomel-cli [--home DIR] COMMAND ...\n"
        "\n"
        "  render --kind KIND [--key N]... (--pdf FILE | --png DIR)\n"
        "      帳票を PDF（プリンタの解像度、フォント埋め込み）または PNG（プレビューと同じ 1 ページ 794 × "
        "1123）に\n"
        "      出力します。KIND は mitumori, nohin, seikyu, ryosyusyou, ineitest, ineidata。\n"
        "      --key を複数指定すると、指定した順に一つの出力にまとめます。\n"
        "  render --kind seikyu --closing yyyy/mm/dd [--with-settled] (--pdf FILE | --png DIR)\n"
        "      その請求締日の請求書を Seq 順に一括で出力します（請求書一括印刷と同じ選び方）。\n"
        "      入金があって残高０になった請求は、--with-settled を付けたときだけ出力します。\n"
        "  invoice-run --closing yyyy/mm/dd (--day D | --customer K)\n"
        "      請求書データを作成します。D は締日 1～31 または 99（月末）で、会社の締日のときは締日 0 の\n"
        "      取引先も対象です。K は取引先の key。作成した請求書の件数を表示します。\n"
        "      最新の請求書の締日がこれより後の取引先は作成せずに表示し、終了コード 3 で終わります。\n"
        "  import-postal FILE\n"
        "      日本郵便の郵便番号データ（KEN_ALL.CSV）を読み込みます。\n"
        "  backup FILE\n"
        "      データベースのバックアップを作成します（ローカルは検査済みの SQLite ファイル、サーバーは\n"
        "      pg_dump のカスタム形式）。\n"
        "  restore [--yes] FILE\n"
        "      バックアップの日付と件数を表示し、確認してから復元します（--yes で確認しません）。\n"
        "      ほかのプログラムが接続している間は復元しません。現在のデータはバックアップとして残します。\n"
        "  export customers|products|estimates|deliveries|invoices|payments\n"
        "         [--from yyyy/mm/dd] [--to yyyy/mm/dd] [--encoding utf-8|cp932] FILE\n"
        "      CSV に書き出します（既定は BOM 付き UTF-8、改行 CR LF）。見積・納品は明細 1 行ごとに 1 "
        "行です。\n"
        "  import customers|products [--skip-existing] [--good-rows-only] [--yes] FILE\n"
        "      CSV（UTF-8 または "
        "CP932）から取引先・商品を登録します。登録済みの取引先・商品は、変わる項目を\n"
        "      「旧 → 新」で表示し、確認してから更新します（--yes で確認しません。--skip-existing で\n"
        "      読み飛ばします）。ファイルにない列・空欄の数値は登録済みの値のままです。請求書のある取引先の\n"
        "      期首売掛残・前回請求額は変更しません。エラーのある行があれば何も登録しません\n"
        "      （--good-rows-only でエラーのない行だけ登録します）。\n"
        "  receivables [--as-of yyyy/mm/dd] (--csv FILE [--encoding utf-8|cp932] | --pdf FILE)\n"
        "      売掛金残高一覧を CSV（取引先ごとに 1 行）または A4 の PDF（合計行とページ番号付き）に\n"
        "      出力します。--as-of を省略すると今日の残高です。\n"
        "  --help\n"
        "      この説明を表示します。\n"
        "  --version\n"
        "      バージョンを表示します。\n"
        "\n"
        "  --home DIR  設定ファイル kadomel.ini とデータフォルダ DB のあるフォルダ（KADOMEL_HOME と同じ）。\n"
        "              省略時はプログラムと同じ設定を使います。空のフォルダではテーブルを作成します。\n");
}

CliOptions CliOptions::parse(const QStringList &args)
{
    CliOptions o;
    QStringList positional;
    for (qsizetype i = 0; i < args.size(); ++i) {
        const QString &a = args.at(i);
        if (a == QLatin1String("--help") || a == QLatin1String("-h"))
            return CliOptions{};
        if (a == QLatin1String("--version")) {
            CliOptions version;
            version.command = Command::Version;
            return version;
        }
        if (a == QLatin1String("--home"))
            o.home = valueOf(args, i);
        else if (a == QLatin1String("--kind"))
            o.kind = valueOf(args, i);
        else if (a == QLatin1String("--key"))
            o.keys.append(keyOf(valueOf(args, i)));
        else if (a == QLatin1String("--pdf"))
            o.pdf = valueOf(args, i);
        else if (a == QLatin1String("--png"))
            o.pngFolder = valueOf(args, i);
        else if (a == QLatin1String("--closing"))
            o.closing = closingOf(valueOf(args, i));
        else if (a == QLatin1String("--day"))
            o.day = dayOf(valueOf(args, i));
        else if (a == QLatin1String("--customer"))
            o.customer = customerOf(valueOf(args, i));
        else if (a == QLatin1String("--with-settled"))
            o.withSettled = true;
        else if (a == QLatin1String("--from"))
            o.from = dateOf(a, valueOf(args, i));
        else if (a == QLatin1String("--to"))
            o.to = dateOf(a, valueOf(args, i));
        else if (a == QLatin1String("--encoding"))
            o.encoding = valueOf(args, i);
        else if (a == QLatin1String("--as-of"))
            o.asOf = dateOf(a, valueOf(args, i));
        else if (a == QLatin1String("--csv"))
            o.csv = valueOf(args, i);
        else if (a == QLatin1String("--yes"))
            o.yes = true;
        else if (a == QLatin1String("--skip-existing"))
            o.skipExisting = true;
        else if (a == QLatin1String("--good-rows-only"))
            o.goodRowsOnly = true;
        else if (a.startsWith(QLatin1String("--")))
            throw CliError(QStringLiteral("不明なオプションです: %1").arg(a));
        else
            positional.append(a);
    }
    if (positional.isEmpty())
        throw CliError(QStringLiteral(
            "コマンドを指定してください（render、import-postal、invoice-run、backup、restore、export、"
            "import または receivables）"));
    const QString command = positional.takeFirst();
    if (command == QLatin1String("render")) {
        o.command = Command::Render;
        checkRender(o);
    } else if (command == QLatin1String("import-postal")) {
        o.command = Command::ImportPostal;
        if (positional.isEmpty())
            throw CliError(QStringLiteral("読み込む郵便番号データのファイルを指定してください"));
        o.postalFile = positional.takeFirst();
    } else if (command == QLatin1String("invoice-run")) {
        o.command = Command::InvoiceRun;
        checkInvoiceRun(o);
    } else if (command == QLatin1String("backup") || command == QLatin1String("restore")) {
        o.command = command == QLatin1String("backup") ? Command::Backup : Command::Restore;
        if (positional.isEmpty())
            throw CliError(QStringLiteral("バックアップのファイルを指定してください"));
        o.file = positional.takeFirst();
    } else if (command == QLatin1String("export")) {
        o.command = Command::Export;
        takeTableAndFile(o, positional, CsvExport::kindNames());
        checkEncoding(o);
        if (o.from.isValid() && o.to.isValid() && o.from > o.to)
            throw CliError(QStringLiteral("--from の日付が --to の日付より後です"));
    } else if (command == QLatin1String("import")) {
        o.command = Command::Import;
        takeTableAndFile(o, positional, {QStringLiteral("customers"), QStringLiteral("products")});
    } else if (command == QLatin1String("receivables")) {
        o.command = Command::Receivables;
        checkReceivables(o);
    } else {
        throw CliError(QStringLiteral("不明なコマンドです: %1").arg(command));
    }
    if (!positional.isEmpty())
        throw CliError(QStringLiteral("余分な引数があります: %1").arg(positional.join(QLatin1Char(' '))));
    return o;
}

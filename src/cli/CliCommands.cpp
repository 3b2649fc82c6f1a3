#include "cli/CliCommands.h"

#include "data/AppPaths.h"
#include "data/ConnectionSettings.h"
#include "data/IniFile.h"
#include "data/TDMdata.h"
#include "masters/PostalLoader.h"

namespace CliCommands {

std::unique_ptr<TDMdata> openDatabase()
{
    const ConnectionSettings settings = ConnectionSettings::read(IniFile(AppPaths::iniPath()));
    AppPaths::ensureDataFolder();
    auto data = std::make_unique<TDMdata>();
    settings.applyTo(data->Session1, *data->DataDB);
    try {
        data->DataDB->Open();
    } catch (const AppError &e) {
        throw AppError(QStringLiteral("データベースへの接続に失敗しました\n") + e.message());
    }
    data->CheckTables();
    return data;
}

qint64 importPostal(TDMdata &data, const QString &path, const std::function<void(int percent)> &progress)
{
    PostalLoader loader(*data.DataDB);
    loader.setProgress([&](PostalLoader::Phase phase, qint64 done, qint64 total) {
        if (progress)
            progress(phase == PostalLoader::Phase::Registering || total <= 0 ? 100 : int(done * 100 / total));
    });
    return loader.load(path);
}

} // namespace CliCommands

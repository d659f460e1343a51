#include "db/main_store_open.h"

#include "db/address_database.h"
#include "db/main_database.h"
#include "db/server_main_database.h"

namespace mok::db {

std::u16string MainDatabaseName(const std::u16string& dir, const std::u16string& server) {
  return server.empty() ? MainDatabasePath(dir) : server;
}

DbStatus CheckServerSetting(const std::u16string& server) {
  if (server.empty())
    return {};
  if (!IsServerName(server)) {
    return MakeError(u"設定 MAINDB の「" + server +
                         u"」はサーバーの名前ではありません。postgresql://サーバー/データベース名 "
                         u"の形で書くか、空にして下さい。",
                     0);
  }
  return CheckServerAddress(server);
}

DbResult<std::unique_ptr<MainStore>> OpenMainStore(const std::u16string& name) {
  if (IsServerName(name)) {
    auto server = ServerMainDatabase::Open(name);
    if (!server)
      return server.error();
    return std::unique_ptr<MainStore>(std::move(*server));
  }
  auto file = MainDatabase::Open(name);
  if (!file)
    return file.error();
  return std::unique_ptr<MainStore>(std::move(*file));
}

DbResult<std::unique_ptr<MainStore>> CreateMainStore(const std::u16string& name) {
  if (IsServerName(name)) {
    auto server = ServerMainDatabase::Create(name);
    if (!server)
      return server.error();
    return std::unique_ptr<MainStore>(std::move(*server));
  }
  auto file = MainDatabase::Create(name);
  if (!file)
    return file.error();
  return std::unique_ptr<MainStore>(std::move(*file));
}

}  // namespace mok::db

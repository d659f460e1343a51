#include "ui/single_instance.h"

#include <QCryptographicHash>
#include <QLocalServer>
#include <QLocalSocket>

namespace mok::ui {
namespace {

constexpr char kActivate[] = "activate\n";

QString UserName() {
  QString user = qEnvironmentVariable("USER");
  if (user.isEmpty())
    user = qEnvironmentVariable("USERNAME");
  return user;
}

}  // namespace

SingleInstance::SingleInstance(const QString& key, QObject* parent) : QObject(parent) {
  // A hash keeps the name short and free of characters a socket name cannot hold.
  const QByteArray hash = QCryptographicHash::hash((key + QLatin1Char('|') + UserName()).toUtf8(),
                                                   QCryptographicHash::Sha1)
                              .toHex()
                              .left(16);
  serverName_ = key + QLatin1Char('-') + QString::fromLatin1(hash);
}

SingleInstance::~SingleInstance() {
  if (server_)
    server_->close();
}

bool SingleInstance::SignalRunningCopy(int timeoutMs) {
  QLocalSocket socket;
  socket.connectToServer(serverName_);
  if (!socket.waitForConnected(timeoutMs))
    return false;
  socket.write(kActivate);
  socket.waitForBytesWritten(timeoutMs);
  socket.disconnectFromServer();
  if (socket.state() != QLocalSocket::UnconnectedState)
    socket.waitForDisconnected(timeoutMs);
  return true;
}

bool SingleInstance::Listen() {
  if (!server_) {
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::AcceptConnection);
  }
  if (server_->listen(serverName_))
    return true;
  // Nobody answered on the name (SignalRunningCopy came first), so it is a leftover of a copy
  // that ended without cleaning up: remove it and serve it again.
  if (server_->serverError() == QAbstractSocket::AddressInUseError) {
    QLocalServer::removeServer(serverName_);
    return server_->listen(serverName_);
  }
  return false;
}

void SingleInstance::AcceptConnection() {
  while (QLocalSocket* socket = server_->nextPendingConnection()) {
    connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
      while (socket->canReadLine()) {
        if (socket->readLine() == kActivate && OnActivateRequest)
          OnActivateRequest();
      }
    });
    if (socket->canReadLine())
      emit socket->readyRead();
  }
}

}  // namespace mok::ui

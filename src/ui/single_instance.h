// One running copy per user: the first copy listens on a local socket named after the program
// and the user; a later copy connects, asks the first one to bring its main window to the front,
// and ends. Nothing is left on disk that a crashed copy could leave behind: a socket name that
// no process serves any more is removed and taken over.
#pragma once

#include <QObject>
#include <QString>
#include <functional>

class QLocalServer;

namespace mok::ui {

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // `key` names the program; the user's name is added so that two users do not meet.
  explicit SingleInstance(const QString& key, QObject* parent = nullptr);
  ~SingleInstance() override;

  // True when another copy answered and was asked to come to the front: this copy should end.
  // `timeoutMs` bounds the wait for the other copy.
  bool SignalRunningCopy(int timeoutMs = 1000);

  // Starts serving the name. False when it could not (the program then runs without the guard).
  bool Listen();

  // Called in the first copy whenever a later copy asked for the window.
  std::function<void()> OnActivateRequest;

  const QString& ServerName() const { return serverName_; }

 private:
  void AcceptConnection();

  QString serverName_;
  QLocalServer* server_ = nullptr;
};

}  // namespace mok::ui

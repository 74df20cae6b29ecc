#pragma once

#include <QLocalServer>
#include <QObject>
#include <QStringList>

// One running copy per user. The first copy listens on a local socket named after the program and the
// user; a later copy hands it its files (or, without files, asks it to come to the front) and ends. This is
// also how the desktop opens a file in the running copy. A socket left behind by a copy that crashed is
// removed when nobody answers on it.
class CSingleInstance : public QObject {
    Q_OBJECT

  public:
    explicit CSingleInstance(QString name, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // The socket name for this program and user.
    static QString DefaultName();

    // True when this copy is the first and now listens; false when a running copy took the files (or the
    // request to come to the front), so that this copy should end.
    bool Start(const QStringList& files);
    bool IsListening() const { return server_.isListening(); }
    const QString& Name() const { return name_; }
    // Stops listening and removes the socket.
    void Stop();

  signals:
    // A later copy asked to come to the front (files empty) or to open files.
    void requested(const QStringList& files);

  private:
    bool HandOver(const QStringList& files);
    void OnConnection();

    QString name_;
    QLocalServer server_;
};

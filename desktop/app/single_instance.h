#pragma once

#include <QLocalServer>
#include <QLocalSocket>
#include <QObject>
#include <QPointer>
#include <QStringList>
#include <vector>

struct HandOverRequest;

// One running copy per user. The first copy listens on a local socket named after the program and the
// user; a later copy hands it its files (or, without files, asks it to come to the front) and ends. This is
// also how the desktop opens a file in the running copy. A socket left behind by a copy that crashed is
// removed, but only when connecting to it is refused (nobody listens): a running copy that is only slow to
// answer (stopped, or busy) keeps its socket, and the later copy says so and ends.
//
// Whatever connects is taken as a stranger: its bytes are judged as they arrive (CHandOverParser), and
// only a complete, well-formed request is answered "OK" and acted on. A connection that sends anything
// else, more than a request holds, or does not finish its request within the deadline is dropped without
// an answer; at most kMaxConnections are served at once. Nothing ever waits for a connection.
class CSingleInstance : public QObject {
    Q_OBJECT

  public:
    static constexpr int kMaxConnections = 8;
    static constexpr int kDeadlineMs = 5000;

    explicit CSingleInstance(QString name, QObject* parent = nullptr);
    ~CSingleInstance() override;

    // The socket name for this program and user.
    static QString DefaultName();

    enum class StartResult {
        Listening,      // this copy is the first and now listens (or runs without the socket)
        HandedOver,     // a running copy took the files (or the request to come to the front): end
        NotResponding,  // a copy listens but does not answer in time: end without opening anything
    };
    StartResult Start(const QStringList& files);
    bool IsListening() const { return server_.isListening(); }
    const QString& Name() const { return name_; }
    // Stops listening and removes the socket.
    void Stop();
    // The connections being served now.
    int OpenConnections();
    // How long a connection may take to send its request (tests shorten it).
    void SetDeadline(int ms) { deadlineMs_ = ms; }

  signals:
    // A later copy asked to come to the front (files empty) or to open files.
    void requested(const QStringList& files);

  private:
    // How a request to the socket fared.
    enum class Delivery { Taken, NoSocket, Refused, NoAnswer };
    Delivery HandOver(const QStringList& files);
    Delivery SendRequest(const HandOverRequest& request);
    void OnConnection();

    QString name_;
    QLocalServer server_;
    std::vector<QPointer<QLocalSocket>> connections_;
    int deadlineMs_ = kDeadlineMs;
};

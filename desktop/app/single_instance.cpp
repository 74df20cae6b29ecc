#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QTimer>
#include <memory>

#include "app/hand_over_request.h"

namespace {

constexpr int kConnectMs = 3000;
// How long the running copy may take to answer before it counts as not responding.
constexpr int kAnswerMs = 10000;

}  // namespace

CSingleInstance::CSingleInstance(QString name, QObject* parent) : QObject(parent), name_(std::move(name)) {
    server_.setSocketOptions(QLocalServer::UserAccessOption);
    connect(&server_, &QLocalServer::newConnection, this, &CSingleInstance::OnConnection);
}

CSingleInstance::~CSingleInstance() {
    Stop();
}

QString CSingleInstance::DefaultName() {
    // The user's home folder tells users apart on every platform.
    const QByteArray user =
        QCryptographicHash::hash(QDir::homePath().toUtf8(), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("tq550-librarian-") + QString::fromLatin1(user.left(16));
}

CSingleInstance::Delivery CSingleInstance::HandOver(const QStringList& files) {
    if (files.isEmpty()) return SendRequest(HandOverRequest{true, {}});
    // A request holds a limited number of files; more go in several, one connection each. Once the first is
    // taken, a copy runs: this copy must not take its place even if a later request fails.
    const qsizetype perRequest = static_cast<qsizetype>(CHandOverParser::kMaxFiles);
    for (qsizetype first = 0; first < files.size(); first += perRequest) {
        HandOverRequest request;
        for (const QString& file : files.mid(first, perRequest))
            request.files.push_back(file.toUtf8().toStdString());
        const Delivery delivery = SendRequest(request);
        if (delivery != Delivery::Taken && first == 0) return delivery;
    }
    return Delivery::Taken;
}

CSingleInstance::Delivery CSingleInstance::SendRequest(const HandOverRequest& request) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kConnectMs)) {
        switch (socket.error()) {
            case QLocalSocket::ServerNotFoundError:
                return Delivery::NoSocket;
            case QLocalSocket::ConnectionRefusedError:
                return Delivery::Refused;
            default:
                return Delivery::NoAnswer;
        }
    }
    const std::string message = EncodeHandOverRequest(request);
    socket.write(message.data(), static_cast<qint64>(message.size()));
    if (!socket.waitForBytesWritten(kAnswerMs)) return Delivery::NoAnswer;
    // The running copy answers once it has taken the request.
    QByteArray answer;
    while (!answer.contains('\n') && socket.waitForReadyRead(kAnswerMs))
        answer += socket.readAll();
    return answer.startsWith("OK") ? Delivery::Taken : Delivery::NoAnswer;
}

CSingleInstance::StartResult CSingleInstance::Start(const QStringList& files) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        const Delivery delivery = HandOver(files);
        if (delivery == Delivery::Taken) return StartResult::HandedOver;
        // Someone listens but does not answer: a copy that is stopped or busy, never a stale socket.
        if (delivery == Delivery::NoAnswer) return StartResult::NotResponding;
        if (server_.listen(name_)) return StartResult::Listening;
        if (server_.serverError() != QAbstractSocket::AddressInUseError) break;
        // A socket nobody listens on is left by a copy that ended without removing it; ask once more, as
        // another copy may have just taken its place.
        if (delivery != Delivery::Refused) continue;
        const Delivery again = HandOver(files);
        if (again == Delivery::Taken) return StartResult::HandedOver;
        if (again == Delivery::NoAnswer) return StartResult::NotResponding;
        if (again == Delivery::Refused) {
            QLocalServer::removeServer(name_);
            if (server_.listen(name_)) return StartResult::Listening;
        }
    }
    // Without the socket this copy still runs; it just cannot receive files from later copies.
    return StartResult::Listening;
}

void CSingleInstance::Stop() {
    if (server_.isListening()) server_.close();
}

int CSingleInstance::OpenConnections() {
    std::erase_if(connections_, [](const QPointer<QLocalSocket>& socket) { return socket.isNull(); });
    return static_cast<int>(connections_.size());
}

void CSingleInstance::OnConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        if (OpenConnections() >= kMaxConnections) {
            socket->abort();
            socket->deleteLater();
            continue;
        }
        connections_.emplace_back(socket);
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        // A connection that has not sent its request in time goes.
        QTimer::singleShot(deadlineMs_, socket, [socket] {
            socket->abort();
            socket->deleteLater();
        });
        auto parser = std::make_shared<CHandOverParser>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, parser] {
            const QByteArray bytes = socket->readAll();
            if (parser->GetState() != CHandOverParser::State::Incomplete) return;
            switch (
                parser->Add(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
                case CHandOverParser::State::Incomplete:
                    return;
                case CHandOverParser::State::Invalid:
                    socket->abort();
                    socket->deleteLater();
                    return;
                case CHandOverParser::State::Complete:
                    break;
            }
            QStringList files;
            for (const std::string& file : parser->Request().files)
                files << QString::fromStdString(file);
            socket->write("OK\n");
            socket->disconnectFromServer();
            emit requested(files);
        });
    }
}

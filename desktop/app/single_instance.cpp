#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <QTimer>
#include <memory>

#include "app/hand_over_request.h"

namespace {

constexpr int kWaitMs = 3000;

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

bool CSingleInstance::HandOver(const QStringList& files) {
    if (files.isEmpty()) return SendRequest(HandOverRequest{true, {}});
    // A request holds a limited number of files; more go in several, one connection each. Once the first is
    // taken, a copy runs: this copy must not take its place even if a later request fails.
    const qsizetype perRequest = static_cast<qsizetype>(CHandOverParser::kMaxFiles);
    for (qsizetype first = 0; first < files.size(); first += perRequest) {
        HandOverRequest request;
        for (const QString& file : files.mid(first, perRequest))
            request.files.push_back(file.toUtf8().toStdString());
        if (!SendRequest(request) && first == 0) return false;
    }
    return true;
}

bool CSingleInstance::SendRequest(const HandOverRequest& request) {
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kWaitMs)) return false;
    const std::string message = EncodeHandOverRequest(request);
    socket.write(message.data(), static_cast<qint64>(message.size()));
    if (!socket.waitForBytesWritten(kWaitMs)) return false;
    // The running copy answers once it has taken the request.
    return socket.waitForReadyRead(kWaitMs) && socket.readAll().startsWith("OK");
}

bool CSingleInstance::Start(const QStringList& files) {
    for (int attempt = 0; attempt < 3; ++attempt) {
        if (HandOver(files)) return false;
        if (server_.listen(name_)) return true;
        // Nobody answered: a socket left by a copy that ended without removing it.
        if (server_.serverError() == QAbstractSocket::AddressInUseError) {
            if (HandOver(files)) return false;
            QLocalServer::removeServer(name_);
            if (server_.listen(name_)) return true;
        }
    }
    // Without the socket this copy still runs; it just cannot receive files from later copies.
    return true;
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

#include "app/single_instance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QLocalSocket>
#include <memory>

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
    QLocalSocket socket;
    socket.connectToServer(name_);
    if (!socket.waitForConnected(kWaitMs)) return false;
    QByteArray message = files.isEmpty() ? QByteArray("ACTIVATE\n") : QByteArray();
    for (const QString& file : files)
        message += "OPEN " + file.toUtf8().toBase64() + '\n';
    socket.write(message + "END\n");
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

void CSingleInstance::OnConnection() {
    while (QLocalSocket* socket = server_.nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        auto buffer = std::make_shared<QByteArray>();
        connect(socket, &QLocalSocket::readyRead, this, [this, socket, buffer] {
            *buffer += socket->readAll();
            // A request ends with END; anything longer than a screenful of paths is not one.
            if (buffer->size() > (1 << 20)) {
                socket->abort();
                return;
            }
            if (!buffer->endsWith("END\n")) return;
            QStringList files;
            for (const QByteArray& line : buffer->split('\n'))
                if (line.startsWith("OPEN ")) files << QString::fromUtf8(QByteArray::fromBase64(line.mid(5)));
            buffer->clear();
            socket->write("OK\n");
            socket->flush();
            emit requested(files);
        });
    }
}

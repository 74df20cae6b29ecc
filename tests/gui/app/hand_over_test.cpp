// The hand-over from a later copy of the program: the request's format and parser, and the running copy's
// socket facing connections that are silent, send garbage or too much, stop half-way, or come in numbers.

#include <QLocalSocket>
#include <QSignalSpy>
#include <QtTest>
#include <atomic>
#include <string>
#include <thread>

#include "app/hand_over_request.h"
#include "app/single_instance.h"

namespace {

using State = CHandOverParser::State;

State Parse(const std::string& bytes, HandOverRequest* request = nullptr) {
    CHandOverParser parser;
    const State state = parser.Add(bytes);
    if (request) *request = parser.Request();
    return state;
}

std::string Open(const std::string& path) {
    return "OPEN " + EncodeBase64(path) + "\n";
}

// A connection to the running copy's socket, written to as a stranger would.
struct Stranger {
    explicit Stranger(const QString& name) {
        socket.connectToServer(name);
        connected = socket.waitForConnected(3000);
    }
    void Send(const QByteArray& bytes) {
        socket.write(bytes);
        socket.waitForBytesWritten(3000);
    }
    // Whether the running copy closed the connection within ms.
    bool DroppedWithin(int ms) {
        return QTest::qWaitFor([this] { return socket.state() == QLocalSocket::UnconnectedState; }, ms);
    }
    QLocalSocket socket;
    bool connected = false;
};

}  // namespace

class HandOverTest : public QObject {
    Q_OBJECT

  private slots:
    void wellFormedRequestsRoundTrip() {
        for (const HandOverRequest& request :
             {HandOverRequest{true, {}}, HandOverRequest{false, {"/music/patches.tql"}},
              HandOverRequest{false,
                              {"/a b/\xE9\x9F\xB3\xE8\x89\xB2.tql", "C:\\Lib\\x.tql",
                               "\\\\server\\share\\y.tql", std::string("/new\nline")}}}) {
            const std::string bytes = EncodeHandOverRequest(request);
            HandOverRequest parsed;
            QCOMPARE(Parse(bytes, &parsed), State::Complete);
            QVERIFY(parsed == request);
            // Byte by byte it is the same.
            CHandOverParser slow;
            for (char c : bytes)
                slow.Add(std::string_view(&c, 1));
            QCOMPARE(slow.GetState(), State::Complete);
            QVERIFY(slow.Request() == request);
            QCOMPARE(Parse(bytes.substr(0, bytes.size() - 1)), State::Incomplete);
        }
        QCOMPARE(EncodeBase64("ab"), std::string("YWI="));
        QCOMPARE(EncodeBase64("abc"), std::string("YWJj"));
        QCOMPARE(Parse("OPEN Lw==\nEND\n"), State::Complete);
    }

    void anythingElseIsNoRequest() {
        const std::string good = Open("/x.tql");
        const std::string cases[] = {
            "END\n",                                  // nothing asked
            "HELLO\nEND\n",                           // unknown line
            "ACTIVATE\nACTIVATE\nEND\n",              // twice
            "ACTIVATE\n" + good + "END\n",            // both
            good + "END\nX",                          // bytes after END
            good + "end\n",                           // letter case
            "OPEN \nEND\n",                           // empty path
            "OPEN L3gudHE\nEND\n",                    // "/x.tq" without its padding
            "OPEN L3gudHE==\nEND\n",                  // bad length
            "OPEN L3gudH$=\nEND\n",                   // not Base64
            "OPEN YWJi\nEND\n",                       // "abb": not absolute
            Open("x.tql") + "END\n",                  // relative
            Open(std::string("/a\0b", 4)) + "END\n",  // a NUL
            Open("/\xC3\x28") + "END\n",              // not UTF-8
            Open("/\xED\xA0\x80") + "END\n",          // a surrogate
            Open("/" + std::string(CHandOverParser::kMaxPathBytes, 'p')) + "END\n",
            "OPEN Lx==\nEND\n",  // "/" with bits left over
        };
        for (const std::string& bytes : cases) {
            std::string shown = bytes;
            QVERIFY2(Parse(bytes) == State::Invalid, shown.c_str());
        }
        std::string many;
        for (std::size_t i = 0; i <= CHandOverParser::kMaxFiles; ++i)
            many += Open("/f" + std::to_string(i));
        QCOMPARE(Parse(many + "END\n"), State::Invalid);
        // A line that never ends is given up at the longest line, and nothing more is held.
        CHandOverParser endless;
        std::string chunk(1000, 'A');
        State state = State::Incomplete;
        for (int i = 0; i < 100 && state == State::Incomplete; ++i)
            state = endless.Add(chunk);
        QCOMPARE(state, State::Invalid);
        QVERIFY(endless.Held() < CHandOverParser::kMaxLineBytes);
        QCOMPARE(endless.Add(Open("/x") + "END\n"), State::Invalid);
    }

    void strangersOpenNothingAndAreDropped() {
        const QString name = QStringLiteral("tq550-hand-over-%1").arg(QCoreApplication::applicationPid());
        CSingleInstance running(name);
        running.SetDeadline(300);
        QCOMPARE(running.Start({}), CSingleInstance::StartResult::Listening);
        QSignalSpy requests(&running, &CSingleInstance::requested);

        // Silent: dropped at the deadline.
        Stranger silent(name);
        QVERIFY(silent.connected);
        QVERIFY(!silent.DroppedWithin(100));
        QVERIFY(silent.DroppedWithin(3000));
        // Garbage, a request that is too big, one that stops half-way.
        Stranger garbage(name);
        garbage.Send(QByteArray("\x00\xFF garbage\nEND\n", 15));
        QVERIFY(garbage.DroppedWithin(3000));
        Stranger huge(name);
        huge.Send(QByteArray(2 << 20, 'A'));
        QVERIFY(huge.DroppedWithin(3000));
        {
            Stranger half(name);
            half.Send(QByteArray::fromStdString(Open("/half.tql")));
        }
        QTest::qWait(50);
        QCOMPARE(requests.count(), 0);
        QTRY_COMPARE(running.OpenConnections(), 0);

        // More connections than are served at once: the others are closed, and the copy still answers.
        std::vector<std::unique_ptr<Stranger>> crowd;
        running.SetDeadline(60000);
        for (int i = 0; i < CSingleInstance::kMaxConnections + 4; ++i)
            crowd.push_back(std::make_unique<Stranger>(name));
        QTRY_COMPARE(running.OpenConnections(), CSingleInstance::kMaxConnections);
        crowd.clear();
        QTRY_COMPARE(running.OpenConnections(), 0);

        // A well-formed request is answered and acted on.
        Stranger client(name);
        client.Send(QByteArray::fromStdString(EncodeHandOverRequest({false, {"/music/patches.tql"}})));
        QTRY_COMPARE(requests.count(), 1);
        QCOMPARE(requests.front().front().toStringList(), QStringList{QStringLiteral("/music/patches.tql")});
        QTRY_VERIFY(client.socket.bytesAvailable() >= 3);
        QCOMPARE(client.socket.readAll(), QByteArray("OK\n"));
        running.Stop();
    }

    // A later copy with more files than one request holds hands over all of them and ends; it never takes
    // the running copy's socket for a stale one.
    void manyFilesAreHandedOverInSeveralRequests() {
        const QString name =
            QStringLiteral("tq550-hand-over-many-%1").arg(QCoreApplication::applicationPid());
        CSingleInstance running(name);
        QCOMPARE(running.Start({}), CSingleInstance::StartResult::Listening);
        QStringList received;
        connect(&running, &CSingleInstance::requested, this,
                [&received](const QStringList& files) { received += files; });
        QStringList files;
        for (int i = 0; i < 2 * static_cast<int>(CHandOverParser::kMaxFiles) + 3; ++i)
            files << QStringLiteral("/music/patches %1.tql").arg(i);
        // The later copy waits for answers; it runs beside the event loop of the running copy.
        std::atomic<int> laterStarted{-1};
        std::thread later([&] { laterStarted = static_cast<int>(CSingleInstance(name).Start(files)); });
        QTRY_COMPARE_WITH_TIMEOUT(laterStarted.load(),
                                  static_cast<int>(CSingleInstance::StartResult::HandedOver), 20000);
        later.join();
        QCOMPARE(received, files);
        QVERIFY(running.IsListening());
        running.Stop();
    }

    // A running copy that is stopped or busy keeps its socket: the later copy does not take it for a stale
    // one, opens nothing and says that the running copy does not respond.
    void aRunningCopyThatDoesNotAnswerKeepsItsSocket() {
        const QString name =
            QStringLiteral("tq550-hand-over-silent-%1").arg(QCoreApplication::applicationPid());
        QLocalServer stopped;  // listens, but this thread is busy and never answers
        QVERIFY(stopped.listen(name));
        CSingleInstance later(name);
        QCOMPARE(later.Start({QStringLiteral("/music/patches.tql")}),
                 CSingleInstance::StartResult::NotResponding);
        QVERIFY(!later.IsListening());
        QVERIFY(stopped.isListening());
        Stranger again(name);  // the running copy's socket is still the one that connects
        QVERIFY(again.connected);
        QVERIFY(stopped.waitForNewConnection(3000));
    }
};

QTEST_MAIN(HandOverTest)
#include "hand_over_test.moc"

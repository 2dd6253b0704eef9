#include "platform/linux/DirectBusSender.h"

#include "ProcessWait.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVirtualObject>
#include <QProcess>
#include <gtest/gtest.h>

namespace quillfen::platform::dbus {
namespace {

constexpr const char* kPath = "/com/brenvoll/pellgrove/client";
constexpr const char* kInterface = "com.brenvoll.pellgrove.QuillfenClient";

// An object on the test's own bus connection that keeps every call it gets.
class Receiver final : public QDBusVirtualObject {
public:
    struct Call {
        std::string sender, path, member, bytes;
        bool operator==(const Call&) const = default;
        friend void PrintTo(const Call& c, std::ostream* os) { *os << c.path << ' ' << c.member; }
    };
    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection&) override {
        const QByteArray bytes =
            message.arguments().isEmpty() ? QByteArray() : message.arguments()[0].toByteArray();
        calls.push_back({message.service().toStdString(), message.path().toStdString(),
                         message.member().toStdString(), bytes.toStdString()});
        return true;
    }
    std::vector<Call> calls;
};

// A bus of the test's own, with a receiver on it.
class DirectBusSenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        daemon.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
        ASSERT_TRUE(daemon.waitForStarted());
        ASSERT_TRUE(daemon.waitForReadyRead(5000));
        address = daemon.readLine().trimmed().toStdString();
        bus = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(QString::fromStdString(address), "direct-sender-test"));
        ASSERT_TRUE(bus->isConnected());
        ASSERT_TRUE(bus->registerVirtualObject(kPath, &receiver, QDBusConnection::SubPath));
        me = bus->baseService().toStdString();
    }
    void TearDown() override {
        if (bus) QDBusConnection::disconnectFromBus(bus->name());
        daemon.kill();
        daemon.waitForFinished();
    }

    QProcess daemon;
    std::string address;
    std::unique_ptr<QDBusConnection> bus;
    std::string me;
    Receiver receiver;
};

TEST_F(DirectBusSenderTest, CallsArriveWholeAndInOrderEvenWhenTheSocketFillsUp) {
    DirectBusSender sender(address);
    ASSERT_TRUE(sender.isConnected());
    EXPECT_TRUE(sender.uniqueName().starts_with(':'));

    // Documents of a megabyte each: the socket takes a few, the rest wait for the event loop
    // to find it writable again.
    std::vector<std::string> documents{std::string("{\"a\":\0\"b\"}", 10), std::string()};
    for (char c = 'c'; c < 'c' + 12; ++c)
        documents.emplace_back(std::size_t{1} << 20, c);
    const DirectBusSender::Call call(me, kPath, kInterface, "SnapshotDidUpdate");
    for (const auto& document : documents)
        ASSERT_TRUE(sender.send(call, document));
    ASSERT_TRUE(
        testing::spinUntil([&] { return receiver.calls.size() == documents.size(); }, 15000));
    for (std::size_t i = 0; i < documents.size(); ++i)
        EXPECT_EQ(receiver.calls[i],
                  (Receiver::Call{sender.uniqueName(), kPath, "SnapshotDidUpdate", documents[i]}))
            << "call " << i << " of " << receiver.calls[i].bytes.size() << " bytes";
}

// Every length of path and member, so that every padding of the header and of the body's
// start is met once, and calls that arrive for the sender itself in between.
TEST_F(DirectBusSenderTest, HeadersOfEveryLengthReachTheReceiverWhileCallsComeIn) {
    DirectBusSender sender(address);
    ASSERT_TRUE(sender.isConnected());
    std::vector<Receiver::Call> sent;
    for (int n = 1; n <= 9; ++n) {
        const std::string path = std::string(kPath) + "/" + std::string(n, 'p');
        const std::string member = "M" + std::string(n, 'm');
        const std::string bytes(n * 7, static_cast<char>('0' + n));
        ASSERT_TRUE(sender.send({me, path.c_str(), kInterface, member.c_str()}, bytes));
        sent.push_back({sender.uniqueName(), path, member, bytes});
        bus->send(QDBusMessage::createMethodCall(QString::fromStdString(sender.uniqueName()), "/",
                                                 "org.freedesktop.DBus.Peer", "Ping"));
    }
    ASSERT_TRUE(testing::spinUntil([&] { return receiver.calls.size() == sent.size(); }, 5000));
    EXPECT_EQ(receiver.calls, sent);
    EXPECT_TRUE(sender.isConnected());
}

TEST_F(DirectBusSenderTest, WhatTheBusWouldRefuseIsNotSent) {
    DirectBusSender sender(address);
    struct Case {
        const char* what;
        std::string destination;
        const char* path;
        const char* interface;
        const char* member;
        std::size_t bytes;
    };
    const Case cases[] = {
        {"destination", "not a bus name", kPath, kInterface, "SnapshotDidUpdate", 1},
        {"empty destination", "", kPath, kInterface, "SnapshotDidUpdate", 1},
        {"path", me, "relative/path", kInterface, "SnapshotDidUpdate", 1},
        {"interface", me, kPath, "nodots", "SnapshotDidUpdate", 1},
        {"member", me, kPath, kInterface, "Snapshot.Did", 1},
        {"array longer than the bus allows", me, kPath, kInterface, "SnapshotDidUpdate",
         (std::size_t{64} << 20) + 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const DirectBusSender::Call call(c.destination, c.path, c.interface, c.member);
        EXPECT_FALSE(sender.send(call, std::string(c.bytes, 'x')));
    }
    EXPECT_TRUE(sender.send({me, kPath, kInterface, "SnapshotDidUpdate"}, "{}"));
    EXPECT_TRUE(testing::spinUntil([&] { return receiver.calls.size() == 1; }, 5000));
}

TEST_F(DirectBusSenderTest, ABusThatIsNotThereOrGoesAwayLeavesItUnconnected) {
    const DirectBusSender::Call call(":1.1", kPath, kInterface, "SnapshotDidUpdate");
    ASSERT_TRUE(call.isValid());
    DirectBusSender nowhere("unix:path=/nonexistent/bus");
    EXPECT_FALSE(nowhere.isConnected());
    EXPECT_TRUE(nowhere.uniqueName().empty());
    EXPECT_FALSE(nowhere.send(call, "{}"));

    DirectBusSender sender(address);
    ASSERT_TRUE(sender.isConnected());
    daemon.kill();
    daemon.waitForFinished();
    EXPECT_TRUE(testing::spinUntil([&] { return !sender.isConnected(); }, 5000));
    EXPECT_FALSE(sender.send(call, "{}"));
}

} // namespace
} // namespace quillfen::platform::dbus

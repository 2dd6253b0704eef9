// The monitoring service and its clients as a user runs them: real processes on a bus of the
// test's own, real time.

#include "ProcessWait.h"
#include "TempDir.h"
#include "model/SystemSnapshot.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusMessage>
#include <QProcess>
#include <QTimer>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <functional>
#include <memory>

namespace quillfen {
namespace {

const QString kBin = QString(QUILLFEN_BUILD_DIR) + "/bin/";

// A process whose output is read line by line as it comes.
class Running {
public:
    Running(const QString& program, const QStringList& args, const QProcessEnvironment& env) {
        process.setProcessEnvironment(env);
        QObject::connect(&process, &QProcess::readyReadStandardOutput, [this] {
            while (process.canReadLine())
                out.push_back(process.readLine().trimmed().toStdString());
        });
        process.start(program, args);
        process.waitForStarted();
    }
    ~Running() {
        if (process.state() != QProcess::NotRunning) {
            process.kill();
            process.waitForFinished();
        }
    }
    std::string err() { return errText += process.readAllStandardError().toStdString(); }
    int count(const std::function<bool(const std::string&)>& match) const {
        return static_cast<int>(std::ranges::count_if(out, match));
    }

    QProcess process;
    std::vector<std::string> out;
    std::string errText;
};

const auto isSnapshot = [](const std::string& line) { return line.starts_with("{\"_"); };
const auto isSettings = [](const std::string& line) { return line.starts_with("{\"settings\""); };

// Real processes take real time: `done` is looked at whenever a process writes, and every
// 200 ms for what only the bus can tell.
bool waitFor(const std::function<bool()>& done, int deadlineMs = 15000) {
    QTimer slow;
    slow.start(200);
    return testing::spinUntil(done, deadlineMs);
}

class ServiceProcess : public ::testing::Test {
protected:
    void SetUp() override {
        env = QProcessEnvironment::systemEnvironment();
        env.insert("HOME", QString::fromStdString(dir.path().string()));
        env.insert("XDG_DATA_HOME", QString::fromStdString((dir / "prefix" / "share").string()));
        env.insert("XDG_CONFIG_HOME", QString::fromStdString((dir / "config").string()));
        env.insert("QUILLFEN_LOG_STDERR", "1");
        env.remove("DISPLAY");
        // A bus of our own, so tests running side by side do not meet on one service name; it
        // looks for service files in the test's data folder.
        bus.setProcessEnvironment(env);
        bus.setProgram("dbus-daemon");
        bus.setArguments({"--session", "--nofork", "--print-address=1"});
        bus.start();
        ASSERT_TRUE(bus.waitForStarted());
        ASSERT_TRUE(bus.waitForReadyRead(5000));
        address = bus.readLine().trimmed();
        env.insert("DBUS_SESSION_BUS_ADDRESS", address);
        connection = std::make_unique<QDBusConnection>(
            QDBusConnection::connectToBus(address, "test-" + QString::number(::getpid())));
        ASSERT_TRUE(connection->isConnected());
    }
    void TearDown() override {
        processes.clear();
        QDBusConnection::disconnectFromBus(connection->name());
        bus.kill();
        bus.waitForFinished();
    }

    Running& launch(const QString& path, const QStringList& args, const QProcessEnvironment& e) {
        return *processes.emplace_back(std::make_unique<Running>(path, args, e));
    }
    Running& start(const QString& program, const QStringList& args = {}) {
        return launch(kBin + program, args, env);
    }
    Running& service() { return start("quillfen-service"); }
    Running& watch() { return start("quillfen", {"watch", "--json"}); }

    std::optional<uint> clientCount() {
        QDBusInterface status("com.brenvoll.pellgrove.service", "/com/brenvoll/pellgrove/service",
                              "com.brenvoll.pellgrove.QuillfenServiceStatus", *connection);
        const QVariant v = status.property("ClientCount");
        if (!v.isValid()) return std::nullopt;
        return v.toUInt();
    }

    testing::TempDir dir;
    QProcess bus;
    QString address;
    QProcessEnvironment env;
    std::unique_ptr<QDBusConnection> connection;
    std::vector<std::unique_ptr<Running>> processes;
};

TEST_F(ServiceProcess, ClientsGetSnapshotsAndSettingsWithoutEchoAndLeftClientsAreForgotten) {
    service();
    Running& a = watch();
    Running& b = watch();
    ASSERT_TRUE(waitFor([&] { return a.count(isSnapshot) >= 2 && b.count(isSnapshot) >= 2; }));
    EXPECT_EQ(clientCount(), 2u);

    Running& set = start("quillfen", {"settings", "set", "temperatureUnit", "fahrenheit"});
    ASSERT_TRUE(set.process.waitForFinished(15000));
    EXPECT_EQ(set.process.exitCode(), 0) << set.err();
    ASSERT_TRUE(waitFor([&] { return a.count(isSettings) >= 1 && b.count(isSettings) >= 1; }));
    // A client echoing what it was told would make the service pass it on again.
    const int aSnapshots = a.count(isSnapshot);
    ASSERT_TRUE(waitFor([&] { return a.count(isSnapshot) >= aSnapshots + 2; }));
    EXPECT_EQ(a.count(isSettings), 1);
    EXPECT_EQ(b.count(isSettings), 1);
    const auto line = *std::find_if(a.out.begin(), a.out.end(), isSettings);
    EXPECT_NE(line.find(R"("temperatureUnit":"fahrenheit")"), std::string::npos) << line;

    b.process.kill();
    b.process.waitForFinished();
    EXPECT_TRUE(waitFor([&] { return clientCount() == 1u; }));
}

TEST_F(ServiceProcess, WritersOfDifferentKeysLoseNothingAndEveryClientHearsTheLastValues) {
    service();
    Running& a = watch();
    ASSERT_TRUE(waitFor([&] { return a.count(isSnapshot) >= 1; }));
    // Each writer flips its own key; the last round leaves a known value for each.
    const std::vector<std::pair<std::string, std::array<std::string, 2>>> writers = {
        {"twoLineMenuBarLabels", {"false", "true"}},
        {"compactMenuBarSpacing", {"false", "true"}},
        {"temperatureUnit", {"celsius", "fahrenheit"}},
        {"theme", {"dual", "mono"}}};
    constexpr int kRounds = 12;
    std::vector<Running*> running;
    for (const auto& [key, values] : writers) {
        QString loop;
        for (int r = 0; r < kRounds; ++r)
            loop += QString("\"$0\" settings set %1 %2 >/dev/null || exit 1; ")
                        .arg(QString::fromStdString(key), QString::fromStdString(values[r % 2]));
        running.push_back(&launch("bash", {"-c", loop, kBin + "quillfen"}, env));
    }
    for (Running* w : running) {
        ASSERT_TRUE(w->process.waitForFinished(120000));
        EXPECT_EQ(w->process.exitCode(), 0) << w->err();
    }
    // Whether a settings document holds every writer's last value.
    const auto last = [&](const std::string& text) {
        return std::ranges::all_of(writers, [&](const auto& w) {
            const std::string& v = w.second[(kRounds - 1) % 2];
            const bool flag = v == "true" || v == "false";
            return text.find('"' + w.first + "\":" + (flag ? v : '"' + v + '"')) !=
                   std::string::npos;
        });
    };
    const auto preferences = dir / "prefix" / "share" / "group.com.brenvoll.pellgrove" / "Library" /
                             "Preferences" / "group.com.brenvoll.pellgrove.json";
    const std::string stored = testing::readText(preferences);
    EXPECT_TRUE(last(stored)) << stored;
    EXPECT_EQ(stored.find("menuBarTheme"), std::string::npos) << "nobody chose it: " << stored;
    EXPECT_TRUE(waitFor([&] {
        const auto it = std::find_if(a.out.rbegin(), a.out.rend(), isSettings);
        return it != a.out.rend() && last(*it);
    })) << "the client's last settings differ from the store";
}

TEST_F(ServiceProcess, ASettingThatCannotBeSavedIsReportedAsNotSaved) {
    service();
    ASSERT_TRUE(waitFor([&] { return clientCount().has_value(); }));
    // A file where the settings folder should be: nobody can save there, root included.
    const auto library = dir / "prefix" / "share" / "group.com.brenvoll.pellgrove" / "Library";
    std::filesystem::remove_all(library / "Preferences");
    testing::writeText(library / "Preferences", "");
    Running& set = start("quillfen", {"settings", "set", "theme", "light"});
    ASSERT_TRUE(set.process.waitForFinished(15000));
    EXPECT_EQ(set.process.exitCode(), 1);
    EXPECT_NE(set.err().find("theme was not saved: cannot save the settings file"),
              std::string::npos)
        << set.errText;
    EXPECT_TRUE(set.out.empty());
}

TEST_F(ServiceProcess, AClientRegistersAgainAfterTheServiceComesBack) {
    auto* s = &service();
    Running& a = watch();
    ASSERT_TRUE(waitFor([&] { return a.count(isSnapshot) >= 1; }));
    ::kill(static_cast<pid_t>(s->process.processId()), SIGKILL);
    ASSERT_TRUE(waitFor([&] {
        return a.err().find("[XPCClient] connection interrupted — re-registering client") !=
                   std::string::npos &&
               a.errText.find("[XPCClient] reconnect attempt 1 in 1s") != std::string::npos;
    })) << a.errText;
    const int before = a.count(isSnapshot);
    s = &service();
    ASSERT_TRUE(waitFor([&] { return a.count(isSnapshot) > before; })) << a.err();
    EXPECT_NE(a.err().rfind("[XPCClient] registerClient reply: ok"),
              a.errText.find("[XPCClient] registerClient reply: ok"))
        << "registered a second time";
}

TEST_F(ServiceProcess, WithoutAServiceTheClientBacksOffWithGrowingDelays) {
    Running& a = watch();
    ASSERT_TRUE(waitFor([&] {
        return a.err().find("reconnect attempt 3 in 4s") != std::string::npos;
    })) << a.errText;
    const auto one = a.errText.find("[XPCClient] reconnect attempt 1 in 1s");
    const auto two = a.errText.find("[XPCClient] reconnect attempt 2 in 2s");
    EXPECT_NE(one, std::string::npos);
    EXPECT_LT(one, two);
    EXPECT_EQ(a.count(isSnapshot), 0);
}

TEST_F(ServiceProcess, OversizedOrGarbageSettingsLeaveTheServiceRunningAndItsSettingsAlone) {
    service();
    ASSERT_TRUE(waitFor([&] { return clientCount().has_value(); }));
    const auto preferences = dir / "prefix" / "share" / "group.com.brenvoll.pellgrove" / "Library" /
                             "Preferences" / "group.com.brenvoll.pellgrove.json";
    const std::string before = testing::readText(preferences);
    for (const QByteArray& document :
         {QByteArray(2 << 20, '{'), QByteArray("garbage"), QByteArray(R"({"theme":"light"})")}) {
        auto call = QDBusMessage::createMethodCall(
            "com.brenvoll.pellgrove.service", "/com/brenvoll/pellgrove/service",
            "com.brenvoll.pellgrove.QuillfenService", "ApplySettings");
        call << document;
        connection->send(call);
    }
    const auto reply = connection->call(QDBusMessage::createMethodCall(
        "com.brenvoll.pellgrove.service", "/com/brenvoll/pellgrove/service",
        "com.brenvoll.pellgrove.QuillfenService", "CurrentSnapshot"));
    ASSERT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    EXPECT_TRUE(json::decode<SnapshotValues>(
        std::string_view(reply.arguments().at(0).toByteArray().toStdString())));
    EXPECT_EQ(testing::readText(preferences), before);
}

TEST_F(ServiceProcess, TheBusStartsTheInstalledServiceOnTheFirstMessage) {
    const QString prefix = QString::fromStdString((dir / "prefix").string());
    auto installEnv = env;
    installEnv.insert("QUILLFEN_BUILD_DIR", QUILLFEN_BUILD_DIR);
    Running& install =
        launch("bash", {QString(QUILLFEN_SOURCE_DIR) + "/scripts/install", prefix}, installEnv);
    ASSERT_TRUE(install.process.waitForFinished(60000));
    ASSERT_EQ(install.process.exitCode(), 0) << install.err();
    EXPECT_FALSE(
        connection->interface()->isServiceRegistered("com.brenvoll.pellgrove.service").value())
        << "nothing runs before the first message";

    Running& snapshot = launch(prefix + "/bin/quillfen", {"snapshot"}, env);
    ASSERT_TRUE(snapshot.process.waitForFinished(30000));
    EXPECT_EQ(snapshot.process.exitCode(), 0) << snapshot.err();
    ASSERT_EQ(snapshot.count(isSnapshot), 1);
    EXPECT_TRUE(json::decode<SnapshotValues>(std::string_view(snapshot.out.front())));
    const auto document = json::parse(snapshot.out.front());
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->contains("system") && (*document)["system"].contains("machineName"))
        << "the system summary beside the readings";
    EXPECT_EQ(clientCount(), 0u) << "started, and no client registered";
}

} // namespace
} // namespace quillfen

// The monitoring service and its clients as a user runs them: real processes on a bus of the
// test's own, real time.

#include "ProcessWait.h"
#include "TempDir.h"
#include "model/SystemSnapshot.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QElapsedTimer>
#include <QProcess>
#include <QTimer>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <csignal>
#include <functional>
#include <memory>

namespace quillfen {
namespace {

using ::testing::HasSubstr;

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

// What a command run to its end said: its output, status and time taken.
testing::Ran runQuillfen(const QStringList& args, const QProcessEnvironment& env) {
    return testing::runToEnd(kBin + "quillfen", args, env);
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
    const std::filesystem::path library =
        dir / "prefix" / "share" / "group.com.brenvoll.pellgrove" / "Library";
    const std::filesystem::path preferences =
        library / "Preferences" / "group.com.brenvoll.pellgrove.json";
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

    const auto set = runQuillfen({"settings", "set", "temperatureUnit", "fahrenheit"}, env);
    EXPECT_EQ(set.status, 0) << set.err;
    ASSERT_TRUE(waitFor([&] { return a.count(isSettings) >= 1 && b.count(isSettings) >= 1; }));
    // A client echoing what it was told would make the service pass it on again.
    const int aSnapshots = a.count(isSnapshot);
    ASSERT_TRUE(waitFor([&] { return a.count(isSnapshot) >= aSnapshots + 2; }));
    EXPECT_EQ(a.count(isSettings), 1);
    EXPECT_EQ(b.count(isSettings), 1);
    const auto line = *std::find_if(a.out.begin(), a.out.end(), isSettings);
    EXPECT_THAT(line, HasSubstr(R"("temperatureUnit":"fahrenheit")"));

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
    std::filesystem::remove_all(library / "Preferences");
    testing::writeText(library / "Preferences", "");
    const auto set = runQuillfen({"settings", "set", "theme", "light"}, env);
    EXPECT_EQ(set.status, 1);
    EXPECT_THAT(set.err, HasSubstr("theme was not saved: cannot save the settings file"));
    EXPECT_EQ(set.out, "");
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

TEST_F(ServiceProcess, TheBusStartsTheInstalledServiceOnTheFirstMessage) {
    const QString prefix = QString::fromStdString((dir / "prefix").string());
    auto installEnv = env;
    installEnv.insert("QUILLFEN_BUILD_DIR", QUILLFEN_BUILD_DIR);
    const auto install = testing::runToEnd(
        "bash", {QString(QUILLFEN_SOURCE_DIR) + "/scripts/install", prefix}, installEnv);
    ASSERT_EQ(install.status, 0) << install.err;
    EXPECT_FALSE(
        connection->interface()->isServiceRegistered("com.brenvoll.pellgrove.service").value())
        << "nothing runs before the first message";

    // A slow machine may take long to start a service built with sanitizers.
    auto patient = env;
    patient.insert("QUILLFEN_SERVICE_TIMEOUT", "30");
    Running& snapshot = launch(prefix + "/bin/quillfen", {"snapshot"}, patient);
    ASSERT_TRUE(snapshot.process.waitForFinished(60000));
    EXPECT_EQ(snapshot.process.exitCode(), 0) << snapshot.err();
    EXPECT_EQ(snapshot.err(), "");
    ASSERT_EQ(snapshot.count(isSnapshot), 1);
    const auto values = json::decode<SnapshotValues>(std::string_view(snapshot.out.front()));
    ASSERT_TRUE(values);
    // Full, although nobody had the popover open: every core, and what is measured by
    // difference over the second since the service sampled in full at the command's asking.
    ASSERT_TRUE(values->cpu);
    EXPECT_FALSE(values->cpu->perCore.empty());
    EXPECT_TRUE(values->disk);
    EXPECT_TRUE(values->network);
    EXPECT_FALSE(values->diskUsage.empty());
    EXPECT_EQ(values->memoryUsedHistory.values().size(), 2u) << "two full samples, no more";
    const auto document = json::parse(snapshot.out.front());
    ASSERT_TRUE(document);
    EXPECT_TRUE(document->contains("system") && (*document)["system"].contains("machineName"))
        << "the system summary beside the readings";
    EXPECT_EQ(clientCount(), 0u) << "started, and no client registered";

    Running& text = launch(prefix + "/bin/quillfen", {"snapshot", "--text"}, patient);
    ASSERT_TRUE(text.process.waitForFinished(60000));
    EXPECT_EQ(text.process.exitCode(), 0) << text.err();
    EXPECT_TRUE(text.count([](const auto& l) { return l.starts_with("cores "); }) == 1 &&
                text.count([](const auto& l) { return l.starts_with("System "); }) == 1)
        << "every core, and the machine";
}

// Waits for a watch, which keeps trying, to say what is wrong; how long that took.
std::optional<qint64> watchSays(Running& watch, const std::string& words) {
    QElapsedTimer clock;
    clock.start();
    if (!waitFor([&] { return watch.err().find(words) != std::string::npos; }, 30000))
        return std::nullopt;
    return clock.elapsed();
}

TEST_F(ServiceProcess, WithoutASessionBusEveryCommandSaysHowToGetOneAndFails) {
    auto noBus = env;
    noBus.insert("DBUS_SESSION_BUS_ADDRESS",
                 "unix:path=" + QString::fromStdString((dir / "no-bus").string()));
    for (const QStringList& args : {QStringList{"snapshot"}, QStringList{"snapshot", "--text"},
                                    QStringList{"watch"}, QStringList{"watch", "--json"}}) {
        SCOPED_TRACE(args.join(' ').toStdString());
        const auto said = runQuillfen(args, noBus);
        EXPECT_EQ(said.status, 1);
        EXPECT_EQ(said.out, "");
        EXPECT_THAT(said.err, HasSubstr("quillfen: no session bus (cannot connect to unix:path="));
        EXPECT_THAT(said.err, HasSubstr("dbus-run-session -- quillfen"));
        EXPECT_LT(said.ms, 3000);
    }
    // A setting is saved all the same, and says so.
    const auto set = runQuillfen({"settings", "set", "theme", "light"}, noBus);
    EXPECT_EQ(set.status, 0);
    EXPECT_EQ(set.out, "theme = light\n");
    EXPECT_THAT(set.err, HasSubstr("theme is saved, but the monitoring service was not told: "
                                   "no session bus"));
}

TEST_F(ServiceProcess, WithoutAServiceCommandsPointAtTheInstallerAndWatchKeepsTrying) {
    const auto snapshot = runQuillfen({"snapshot"}, env);
    EXPECT_EQ(snapshot.status, 1);
    EXPECT_EQ(snapshot.out, "");
    EXPECT_THAT(snapshot.err, HasSubstr("quillfen: the monitoring service is not installed"));
    EXPECT_THAT(snapshot.err, HasSubstr("scripts/install"));
    EXPECT_LT(snapshot.ms, 3000);

    const auto set = runQuillfen({"settings", "set", "temperatureUnit", "fahrenheit"}, env);
    EXPECT_EQ(set.status, 0);
    EXPECT_THAT(set.err, HasSubstr("is saved, but the monitoring service was not told: the "
                                   "monitoring service is not installed"));

    Running& w = start("quillfen", {"watch"});
    const auto said = watchSays(w, "the monitoring service is not installed");
    ASSERT_TRUE(said) << w.err();
    EXPECT_LT(*said, 3000);
    EXPECT_THAT(w.errText, HasSubstr("Trying again"));
    EXPECT_EQ(w.process.state(), QProcess::Running);

    // Once there is a service, the view shows its readings.
    service();
    EXPECT_TRUE(waitFor([&] {
        return w.count([](const auto& l) { return l.starts_with("CPU "); }) > 0;
    })) << w.err();
}

TEST_F(ServiceProcess, AServiceThatDoesNotAnswerIsNamedWithTheTimeWaited) {
    Running& s = service();
    ASSERT_TRUE(waitFor([&] { return clientCount().has_value(); }));
    const auto pid = static_cast<pid_t>(s.process.processId());
    ::kill(pid, SIGSTOP);
    auto brief = env;
    brief.insert("QUILLFEN_SERVICE_TIMEOUT", "0.5");
    const auto snapshot = runQuillfen({"snapshot"}, brief);
    EXPECT_EQ(snapshot.status, 1);
    EXPECT_EQ(snapshot.err, "quillfen: the monitoring service (process " + std::to_string(pid) +
                                ") did not answer within 0.5 seconds\n");
    EXPECT_LT(snapshot.ms, 3000);

    Running& w = launch(kBin + "quillfen", {"watch", "--json"}, brief);
    EXPECT_TRUE(watchSays(w, "did not answer within 0.5 seconds. Trying again")) << w.err();
    ::kill(pid, SIGCONT);
}

} // namespace
} // namespace quillfen

// The line monitor window, offscreen, fed by a record of real traffic with
// the simulated tracker.
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <atomic>
#include <gtest/gtest.h>
#include <thread>

#include "../core/fakes.h"
#include "model/bilingual.h"
#include "model/gbk.h"
#include "protocol/line_rows.h"
#include "protocol/recorded_port.h"
#include "protocol/set_all.h"
#include "protocol/transaction.h"
#include "protocol/wake_worker.h"
#include "qt/line_monitor_window.h"
#include "serial/posix/serial_port.h"
#include "sim/sim_process.h"

namespace vorlen {
namespace {

using namespace std::chrono_literals;

bool QuickPause(std::chrono::milliseconds) {
    std::this_thread::sleep_for(5ms);
    return true;
}

// Long enough for a few of the window's polls.
constexpr int kRowsTimeoutMs = 2000;

struct MonitoredTracker {
    explicit MonitoredTracker(const std::vector<std::string>& options)
        : sim(options), serial(OpenPort(sim.LinkPath())), port(serial, record) {}

    test::SimProcess sim;
    LineRecord record;
    std::shared_ptr<Port> serial;
    RecordedPort port;
};

class LineMonitorTest : public ::testing::Test {
protected:
    // The path the save button is given, as though the operator chose it.
    QString chosenPath;

    std::unique_ptr<LineMonitorWindow> Open(LineRecord& record, int language = kEnglish) {
        auto window = std::make_unique<LineMonitorWindow>(
            record, language, nullptr,
            [this](QWidget*, const QString&, const QString&) { return chosenPath; });
        window->ShowAndRaise();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(window.get()));
        return window;
    }

    static QStringList Rows(const LineMonitorWindow& window) {
        const QString text = window.findChild<QPlainTextEdit*>()->toPlainText();
        return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
    }

    static bool RowsArrive(const LineMonitorWindow& window, qsizetype count) {
        return QTest::qWaitFor([&] { return Rows(window).size() >= count; }, kRowsTimeoutMs);
    }

    static QPushButton* Button(const LineMonitorWindow& window, const QString& caption) {
        for (QPushButton* button : window.findChildren<QPushButton*>()) {
            if (button->text() == caption) {
                return button;
            }
        }
        ADD_FAILURE() << "no button " << caption.toStdString();
        return nullptr;
    }
};

// A row of a written command, as the simulator logged it.
QString WrittenRow(const std::string& logged) {
    return QString::fromStdString(" -> " + logged + "\\r\\n");
}

TEST_F(LineMonitorTest, ShowsASetAllsNineteenCommandsAndTheirOks) {
    MonitoredTracker line({"--awake"});
    ASSERT_NE(line.serial, nullptr);
    const auto window = Open(line.record);
    TrackerForm form = testing::FilledForm();
    testing::FakeFormView view;
    SendAllSettings(&line.port, form, {.workingMode = kModeP2P, .warningType = 3}, view, kEnglish,
                    QuickPause);
    ASSERT_EQ(view.statuses.back().mark, StatusMark::Success);

    const std::vector<std::string> commands = line.sim.Commands();
    ASSERT_EQ(commands.size(), 19u);
    ASSERT_TRUE(RowsArrive(*window, 38));
    const QStringList rows = Rows(*window);
    ASSERT_EQ(rows.size(), 38);
    for (std::size_t i = 0; i < commands.size(); ++i) {
        const auto row = static_cast<qsizetype>(2 * i);
        EXPECT_TRUE(rows[row].endsWith(WrittenRow(commands[i]))) << rows[row].toStdString();
        EXPECT_TRUE(rows[row + 1].endsWith(QStringLiteral(" <- \\r\\nOK\\r\\n")))
            << rows[row + 1].toStdString();
    }
}

TEST_F(LineMonitorTest, ASilentCommandShowsAsAWriteWithNothingAfterIt) {
    MonitoredTracker line({"--awake", "--silent"});
    ASSERT_NE(line.serial, nullptr);
    const auto window = Open(line.record);
    std::string reply;
    EXPECT_FALSE(RunTransaction(&line.port, "AT+OPENAT=720,1;\r\n", reply, QuickPause));
    ASSERT_TRUE(RowsArrive(*window, 1));
    QTest::qWait(3 * LineMonitorWindow::kRefreshMs);
    const QStringList rows = Rows(*window);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].endsWith(WrittenRow("AT+OPENAT=720,1;"))) << rows[0].toStdString();
}

TEST_F(LineMonitorTest, ClearEmptiesTheWindowAndTheRecord) {
    LineRecord record;
    record.Append(LineDirection::Written, "AT+ESLP=0\r\n");
    const auto window = Open(record);
    ASSERT_TRUE(RowsArrive(*window, 1));
    QTest::mouseClick(Button(*window, QStringLiteral("Clear")), Qt::LeftButton);
    EXPECT_TRUE(Rows(*window).isEmpty());
    EXPECT_TRUE(record.Since(0).empty());
    record.Append(LineDirection::Received, "\r\nOK\r\n");
    ASSERT_TRUE(RowsArrive(*window, 1));
    const QStringList rows = Rows(*window);
    ASSERT_EQ(rows.size(), 1);
    EXPECT_TRUE(rows[0].endsWith(QStringLiteral(" <- \\r\\nOK\\r\\n"))) << rows[0].toStdString();
}

// Copy All and Save hand out the rows themselves, the same as shown.
TEST_F(LineMonitorTest, CopyAllAndSaveGiveTheRowsAsShown) {
    LineRecord record;
    record.Append(LineDirection::Written, "AT+OPENAT=903,;\r\n");
    record.Append(LineDirection::Received, GbkOf("@版本#V1.0\r\nOK\r\n") + "\xff");
    const auto window = Open(record);
    ASSERT_TRUE(RowsArrive(*window, 2));
    const QString shown = Rows(*window).join(QLatin1Char('\n')) + QLatin1Char('\n');
    EXPECT_TRUE(shown.contains(QStringLiteral("<- @版本#V1.0\\r\\nOK\\r\\n\\xff")));

    QTest::mouseClick(Button(*window, QStringLiteral("Copy All")), Qt::LeftButton);
    EXPECT_EQ(QApplication::clipboard()->text(), shown);

    QTemporaryDir directory;
    ASSERT_TRUE(directory.isValid());
    chosenPath = directory.filePath(QStringLiteral("line.txt"));
    QTest::mouseClick(Button(*window, QStringLiteral("Save...")), Qt::LeftButton);
    QFile saved(chosenPath);
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromUtf8(saved.readAll()), shown);
    EXPECT_EQ(window->findChild<QLabel*>()->text(), QStringLiteral("Saved as ") + chosenPath);
    // The log holds the passwords the form sent: its owner's alone.
    EXPECT_EQ(saved.permissions() & ~(QFile::ReadUser | QFile::WriteUser),
              QFile::ReadOwner | QFile::WriteOwner);

    chosenPath = directory.filePath(QStringLiteral("missing/line.txt"));
    QTest::mouseClick(Button(*window, QStringLiteral("Save...")), Qt::LeftButton);
    EXPECT_EQ(window->findChild<QLabel*>()->text(), QStringLiteral("Could not save ") + chosenPath);
    EXPECT_FALSE(QFile::exists(chosenPath));
}

TEST_F(LineMonitorTest, CaptionsFollowTheLanguage) {
    LineRecord record;
    const struct {
        int language;
        QString title;
        QStringList buttons;
    } cases[] = {
        {kChinese, QStringLiteral("线路监视器"),
         {QStringLiteral("清除"), QStringLiteral("全部复制"), QStringLiteral("保存...")}},
        {kEnglish, QStringLiteral("Line Monitor"),
         {QStringLiteral("Clear"), QStringLiteral("Copy All"), QStringLiteral("Save...")}},
    };
    const auto window = Open(record, kEnglish);
    for (const auto& c : cases) {
        window->SetLanguage(c.language);
        EXPECT_EQ(window->windowTitle(), c.title);
        for (const QString& caption : c.buttons) {
            EXPECT_NE(Button(*window, caption), nullptr);
        }
    }
}

// The wake-up worker writes on its own thread while the window follows: the
// rows show up while the worker still waits for the tracker.
class LineMonitorWhileWaking : public LineMonitorTest {};

TEST_F(LineMonitorWhileWaking, FollowsTheWorkerLive) {
    MonitoredTracker line({"--wake-after", "0.5"});
    ASSERT_NE(line.serial, nullptr);
    PortSlot ports;
    ports.Replace(std::shared_ptr<Port>(&line.port, [](Port*) {}));
    std::atomic<bool> awake{false};
    WakeUpWorker worker([](std::stop_token stop) {
        return Pause([stop](std::chrono::milliseconds) {
            std::this_thread::sleep_for(5ms);
            return !stop.stop_requested();
        });
    });
    const auto window = Open(line.record);
    worker.Restart(ports, [&](WakeUpWorker::Ticket) { awake = true; });

    ASSERT_TRUE(RowsArrive(*window, 1));
    EXPECT_TRUE(worker.Running()) << "the first row came only after the wake-up";
    EXPECT_TRUE(Rows(*window)[0].endsWith(WrittenRow("AT+ISP=RCAL:8")));
    ASSERT_TRUE(QTest::qWaitFor([&] { return awake.load(); }, 5000));
    const qsizetype written = static_cast<qsizetype>(line.sim.Commands().size());
    ASSERT_TRUE(RowsArrive(*window, written + 2));  // the two acknowledgements
    const QStringList rows = Rows(*window);
    EXPECT_TRUE(rows[rows.size() - 2].endsWith(WrittenRow("AT+ESLP=0")));
    EXPECT_TRUE(rows.last().endsWith(QStringLiteral(" <- \\r\\nOK\\r\\n")));
}

// A hidden window does not poll; shown again, it catches up at once.
TEST_F(LineMonitorTest, CatchesUpWhenShownAgain) {
    LineRecord record;
    const auto window = Open(record);
    window->hide();
    record.Append(LineDirection::Written, "AT+OPENAT=221,;\r\n");
    QTest::qWait(3 * LineMonitorWindow::kRefreshMs);
    EXPECT_TRUE(Rows(*window).isEmpty());
    window->ShowAndRaise();
    EXPECT_EQ(Rows(*window).size(), 1);
}

// A flood fills the record many times over between two looks: the window
// keeps only as many rows as the record, the newest ones.
TEST_F(LineMonitorTest, KeepsTheNewestRowsOfAFlood) {
    LineRecord record;
    const auto window = Open(record);
    const std::string flood(kReadChunk, '7');
    for (std::size_t i = 0; i < 3 * LineRecord::kEntries; ++i) {
        record.Append(LineDirection::Received, flood);
    }
    record.Append(LineDirection::Received, "last");
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            const QStringList rows = Rows(*window);
            return !rows.isEmpty() && rows.last().endsWith(QStringLiteral(" <- last"));
        },
        kRowsTimeoutMs));
    EXPECT_EQ(Rows(*window).size(), LineMonitorWindow::kShownRows);
}

}  // namespace
}  // namespace vorlen

// The line monitor: a window of its own beside the form that shows the line
// record live, one row per write or read, with buttons to clear it, copy it
// and save it as a text file.
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <functional>

#include "dialog/line_monitor.h"
#include "qt/side_window.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vorlen {

// Shows the rows and buttons; the behaviour is LineMonitor's.
class LineMonitorWindow : public QtSideWindow<QDialog>, private MonitorWindow {
    Q_OBJECT

public:
    // Asks the operator where to save; an empty path means they cancelled.
    using SavePathAsker = std::function<QString(QWidget* parent, const QString& caption,
                                              const QString& filter)>;

    // New rows are fetched this often while the window is shown.
    static constexpr int kRefreshMs = LineMonitor::kRefreshMs;
    // The window keeps as many rows as the record does, the newest ones.
    static constexpr int kShownRows = static_cast<int>(LineMonitor::kShownRows);

    // `record` must outlive the window. `language` as the form's language
    // list (0 Chinese, anything else English). Not modal: the form stays usable.
    LineMonitorWindow(LineRecord& record, int language = kEnglish, QWidget* parent = nullptr,
                      SavePathAsker askSavePath = AskWithFileDialog);

    void SetLanguage(int language) override;

    static QString AskWithFileDialog(QWidget* parent, const QString& caption,
                                     const QString& filter);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void SetText(int controlId, const std::string& text) override;
    void AppendRows(const std::vector<std::string>& rows) override;
    void ClearRows() override;
    void CopyText(const std::string& text) override;
    std::optional<std::filesystem::path> AskSavePath(const std::string& caption,
                                                     const std::string& filter) override;
    void ShowSaveResult(const std::string& message, const std::filesystem::path& file) override;
    QPushButton* Button(int id) const;

    SavePathAsker askSavePath_;
    QTimer refresh_;
    QPlainTextEdit* rows_;
    QPushButton* clear_;
    QPushButton* copyAll_;
    QPushButton* save_;
    QLabel* saveResult_;
    LineMonitor monitor_;
};

}  // namespace vorlen

// The line monitor: a window of its own beside the form that shows the line
// record live, one row per write or read, with buttons to clear it, copy it
// and save it as a text file.
#pragma once

#include <QDialog>
#include <QString>
#include <QTimer>
#include <cstdint>
#include <functional>

#include "protocol/line_record.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace vorlen {

class LineMonitorWindow : public QDialog {
    Q_OBJECT

public:
    // Asks the operator where to save; an empty path means they cancelled.
    using AskSavePath = std::function<QString(QWidget* parent, const QString& caption,
                                              const QString& filter)>;

    // New rows are fetched this often while the window is shown.
    static constexpr int kRefreshMs = 100;
    // The window keeps as many rows as the record does, the newest ones.
    static constexpr int kShownRows = static_cast<int>(LineRecord::kEntries);

    // `record` must outlive the window. `language` as the form's language
    // list (0 Chinese, anything else English). Not modal: the form stays usable.
    LineMonitorWindow(LineRecord& record, int language, QWidget* parent = nullptr,
                      AskSavePath askSavePath = AskWithFileDialog);

    // Shows the window, or brings it to the front when it is already shown.
    void ShowAndRaise();

    void SetLanguage(int language);

    // Writes every row the record holds into the file, replacing it. False
    // when the file cannot be written.
    bool SaveTo(const QString& path) const;

    static QString AskWithFileDialog(QWidget* parent, const QString& caption,
                                     const QString& filter);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void AppendNewRows();
    void Clear();
    void CopyAll() const;
    void Save();

    LineRecord& record_;
    int language_;
    AskSavePath askSavePath_;
    std::uint64_t shownUpTo_ = 0;  // the sequence of the newest row shown
    QTimer refresh_;
    QPlainTextEdit* rows_;
    QPushButton* clear_;
    QPushButton* copyAll_;
    QPushButton* save_;
    QLabel* saveResult_;
};

}  // namespace vorlen

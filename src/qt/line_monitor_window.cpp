#include "qt/line_monitor_window.h"

#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QFileDialog>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <array>
#include <utility>

namespace vorlen {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

LineMonitorWindow::LineMonitorWindow(LineRecord& record, int language, QWidget* parent,
                                     SavePathAsker askSavePath)
    : QtSideWindow<QDialog>(parent),
      askSavePath_(std::move(askSavePath)),
      rows_(new QPlainTextEdit(this)),
      clear_(new QPushButton(this)),
      copyAll_(new QPushButton(this)),
      save_(new QPushButton(this)),
      saveResult_(new QLabel(this)),
      monitor_(record, *this) {
    setModal(false);
    rows_->setReadOnly(true);
    rows_->setLineWrapMode(QPlainTextEdit::NoWrap);
    rows_->setMaximumBlockCount(kShownRows);
    rows_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    saveResult_->setTextFormat(Qt::PlainText);

    auto* buttons = new QHBoxLayout;
    for (const int id : kMonitorButtons) {
        buttons->addWidget(Button(id));
        connect(Button(id), &QPushButton::clicked, this, [this, id] { monitor_.Press(id); });
    }
    buttons->addWidget(saveResult_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rows_);
    layout->addLayout(buttons);
    resize(640, 360);

    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, [this] { monitor_.Refresh(); });
    monitor_.SetLanguage(language);
}

void LineMonitorWindow::SetLanguage(int language) {
    monitor_.SetLanguage(language);
}

QString LineMonitorWindow::AskWithFileDialog(QWidget* parent, const QString& caption,
                                             const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
}

// Polling only while someone looks; the rows that came in meanwhile follow
// at once.
void LineMonitorWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    monitor_.Refresh();
    refresh_.start();
}

void LineMonitorWindow::hideEvent(QHideEvent* event) {
    refresh_.stop();
    QDialog::hideEvent(event);
}

QPushButton* LineMonitorWindow::Button(int id) const {
    const std::array<std::pair<int, QPushButton*>, 3> buttons{
        {{kMonitorClear, clear_}, {kMonitorCopyAll, copyAll_}, {kMonitorSave, save_}}};
    for (const auto& [buttonId, button] : buttons) {
        if (buttonId == id) {
            return button;
        }
    }
    return nullptr;
}

void LineMonitorWindow::SetText(int controlId, const std::string& text) {
    if (controlId == kMonitorTitle) {
        setWindowTitle(FromUtf8(text));
    } else if (controlId == kMonitorSaveResult) {
        saveResult_->setText(FromUtf8(text));
    } else if (QPushButton* button = Button(controlId)) {
        button->setText(FromUtf8(text));
    }
}

// One append for all the rows: appendPlainText starts a line of its own.
void LineMonitorWindow::AppendRows(const std::vector<std::string>& rows) {
    std::string text;
    for (const std::string& row : rows) {
        text += (text.empty() ? "" : "\n") + row;
    }
    rows_->appendPlainText(FromUtf8(text));
}

void LineMonitorWindow::ClearRows() {
    rows_->clear();
}

void LineMonitorWindow::CopyText(const std::string& text) {
    QApplication::clipboard()->setText(FromUtf8(text));
}

std::optional<std::filesystem::path> LineMonitorWindow::AskSavePath(const std::string& caption,
                                                                    const std::string& filter) {
    const QString path = askSavePath_(this, FromUtf8(caption), FromUtf8(filter));
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

void LineMonitorWindow::ShowSaveResult(const std::string& message,
                                       const std::filesystem::path& file) {
    saveResult_->setText(FromUtf8(message) + QFile::decodeName(QByteArray::fromStdString(file.native())));
}

}  // namespace vorlen

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

#include "model/line_monitor_texts.h"
#include "profile/private_file.h"
#include "protocol/line_rows.h"

namespace vorlen {
namespace {

QString Caption(const Bilingual& text, int language) {
    const std::string_view utf8 = Utf8In(text, language);
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

LineMonitorWindow::LineMonitorWindow(LineRecord& record, int language, QWidget* parent,
                                     AskSavePath askSavePath)
    : QDialog(parent),
      record_(record),
      language_(language),
      askSavePath_(std::move(askSavePath)),
      rows_(new QPlainTextEdit(this)),
      clear_(new QPushButton(this)),
      copyAll_(new QPushButton(this)),
      save_(new QPushButton(this)),
      saveResult_(new QLabel(this)) {
    setModal(false);
    rows_->setReadOnly(true);
    rows_->setLineWrapMode(QPlainTextEdit::NoWrap);
    rows_->setMaximumBlockCount(kShownRows);
    rows_->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    saveResult_->setTextFormat(Qt::PlainText);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(clear_);
    buttons->addWidget(copyAll_);
    buttons->addWidget(save_);
    buttons->addWidget(saveResult_, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(rows_);
    layout->addLayout(buttons);
    resize(640, 360);

    connect(clear_, &QPushButton::clicked, this, &LineMonitorWindow::Clear);
    connect(copyAll_, &QPushButton::clicked, this, &LineMonitorWindow::CopyAll);
    connect(save_, &QPushButton::clicked, this, &LineMonitorWindow::Save);
    refresh_.setInterval(kRefreshMs);
    connect(&refresh_, &QTimer::timeout, this, &LineMonitorWindow::AppendNewRows);
    SetLanguage(language);
}

void LineMonitorWindow::ShowAndRaise() {
    show();
    raise();
    activateWindow();
}

void LineMonitorWindow::SetLanguage(int language) {
    language_ = language;
    setWindowTitle(Caption(kLineMonitorTitle, language));
    clear_->setText(Caption(kLineMonitorClear, language));
    copyAll_->setText(Caption(kLineMonitorCopyAll, language));
    save_->setText(Caption(kLineMonitorSave, language));
    saveResult_->clear();
}

// The log holds every password the form sent.
bool LineMonitorWindow::SaveTo(const QString& path) const {
    return SavePrivateFile(QFile::encodeName(path).toStdString(), LineRecordText(record_, language_));
}

QString LineMonitorWindow::AskWithFileDialog(QWidget* parent, const QString& caption,
                                             const QString& filter) {
    return QFileDialog::getSaveFileName(parent, caption, QString(), filter);
}

// Polling only while someone looks; the rows that came in meanwhile follow
// at once.
void LineMonitorWindow::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    AppendNewRows();
    refresh_.start();
}

void LineMonitorWindow::hideEvent(QHideEvent* event) {
    refresh_.stop();
    QDialog::hideEvent(event);
}

// One append per poll however many entries came in, and never more than the
// view keeps: a flooding tracker costs one bounded update every 100 ms.
void LineMonitorWindow::AppendNewRows() {
    const std::vector<LineEntry> shown =
        NewEntriesToShow(record_, shownUpTo_, static_cast<std::size_t>(kShownRows));
    if (shown.empty()) {
        return;
    }
    std::string rows = LineRows(shown);
    rows.pop_back();  // appendPlainText starts a line of its own
    rows_->appendPlainText(FromUtf8(rows));
}

void LineMonitorWindow::Clear() {
    record_.Clear();
    rows_->clear();
}

void LineMonitorWindow::CopyAll() const {
    QApplication::clipboard()->setText(FromUtf8(LineRecordText(record_, language_)));
}

void LineMonitorWindow::Save() {
    const QString caption = Caption(kLineMonitorSave, language_).remove(QStringLiteral("..."));
    const QString path = askSavePath_(this, caption, Caption(kLineMonitorFileFilter, language_));
    if (path.isEmpty()) {
        return;
    }
    const Bilingual& result = SaveTo(path) ? kLineMonitorSaved : kLineMonitorNotSaved;
    saveResult_->setText(Caption(result, language_) + path);
}

}  // namespace vorlen

#include "qt/station_window.h"

#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>

#include "qt/status_colours.h"

namespace vorlen::fleet {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// A tile's lines grow by these factors over the window's font: the phase and
// the outcome are what the operator reads from a step away.
constexpr double kPortScale = 1.2;
constexpr double kPhaseScale = 1.8;
constexpr double kImeiScale = 1.5;
constexpr double kOutcomeScale = 1.8;
// Tiles in a row at most; two slots stand side by side.
constexpr int kTileColumns = 4;

QFont Scaled(const QFont& base, double scale, bool bold) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * scale);
    font.setBold(bold);
    return font;
}

// A passed tracker is green and a failed one red, as the form's status box
// shows a command's outcome; a slot at work is pale yellow; a waiting one
// keeps the style's colour.
std::optional<QColor> Background(TileMark mark) {
    const std::array<std::pair<TileMark, std::optional<QColor>>, 3> backgrounds{{
        {TileMark::Working, QColor(255, 255, 160)},
        {TileMark::Passed, MarkColour(StatusMark::Success)},
        {TileMark::Failed, MarkColour(StatusMark::Failure)},
    }};
    for (const auto& [tile, colour] : backgrounds) {
        if (tile == mark) {
            return colour;
        }
    }
    return std::nullopt;
}

QString FileFilter(StationFile kind) {
    return kind == StationFile::Profile
               ? QStringLiteral("Vorlen profile (*.toml);;All files (*)")
               : QStringLiteral("CSV files (*.csv);;All files (*)");
}

}  // namespace

StationPrompts DialogPrompts() {
    return {
        [](QWidget* parent, const QString& text) {
            QMessageBox::information(parent, parent->windowTitle(), text);
        },
        [](QWidget* parent, const QString& caption, StationFile kind) {
            return QFileDialog::getOpenFileName(parent, caption, QString(), FileFilter(kind));
        },
    };
}

FleetStationWindow::FleetStationWindow(StationServices services, int language, QWidget* parent,
                                       StationPrompts prompts)
    : QWidget(parent, Qt::Window), prompts_(std::move(prompts)), controller_(*this, std::move(services)) {
    CreateControls();
    resize(960, 600);
    controller_.Open(language);
}

FleetStationWindow::~FleetStationWindow() = default;

void FleetStationWindow::CreateControls() {
    auto* counters = new QLabel(this);
    counters->setFont(Scaled(font(), kPhaseScale, true));
    auto* journal = new QLabel(this);
    journal->setWordWrap(true);
    journal->setTextFormat(Qt::PlainText);
    controls_ = {{kStationCounters, counters}, {kStationJournal, journal}};

    auto* inputs = new QGridLayout;
    const std::array<std::array<int, 3>, 2> fileRows{{
        {kStationProfileLabel, kStationProfile, kStationProfileBrowse},
        {kStationDevicesLabel, kStationDevices, kStationDevicesBrowse},
    }};
    int row = 0;
    for (const auto& [labelId, editId, browseId] : fileRows) {
        controls_[labelId] = new QLabel(this);
        controls_[editId] = new QLineEdit(this);
        auto* browse = new QPushButton(this);
        controls_[browseId] = browse;
        connect(browse, &QPushButton::clicked, this, [this, id = browseId] { controller_.Press(id); });
        inputs->addWidget(controls_[labelId], row++, 0, 1, 2);
        inputs->addWidget(controls_[editId], row, 0);
        inputs->addWidget(browse, row++, 1);
    }
    controls_[kStationSlotsLabel] = new QLabel(this);
    slots_ = new QListWidget(this);
    controls_[kStationSlots] = slots_;
    inputs->addWidget(controls_[kStationSlotsLabel], row++, 0, 1, 2);
    inputs->addWidget(slots_, row++, 0, 1, 2);

    auto* buttons = new QHBoxLayout;
    for (const int id : {kStationRefresh, kStationStart, kStationStop}) {
        auto* button = new QPushButton(this);
        controls_[id] = button;
        connect(button, &QPushButton::clicked, this, [this, id] { controller_.Press(id); });
        buttons->addWidget(button);
    }
    inputs->addLayout(buttons, row, 0, 1, 2);

    auto* side = new QWidget(this);
    side->setLayout(inputs);
    side->setFixedWidth(360);
    auto* body = new QHBoxLayout;
    body->addWidget(side);
    body->addWidget(CreateTiles(), 1);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(counters);
    layout->addWidget(journal);
    layout->addLayout(body, 1);
}

QWidget* FleetStationWindow::CreateTiles() {
    auto* area = new QScrollArea(this);
    area->setWidgetResizable(true);
    area->setFrameShape(QFrame::NoFrame);
    auto* grid = new QWidget(area);
    tileGrid_ = new QGridLayout(grid);
    tileGrid_->setAlignment(Qt::AlignTop);
    area->setWidget(grid);
    return area;
}

FleetStationWindow::TileLabels FleetStationWindow::CreateTile() {
    auto* frame = new QFrame;
    frame->setObjectName(QStringLiteral("tile"));
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    frame->setMinimumWidth(260);
    auto* layout = new QVBoxLayout(frame);
    const auto line = [&](const char* name, double scale, bool bold) {
        auto* label = new QLabel(frame);
        label->setObjectName(QLatin1String(name));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(true);
        label->setFont(Scaled(font(), scale, bold));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        layout->addWidget(label);
        return label;
    };
    TileLabels tile{frame, line("port", kPortScale, false), line("phase", kPhaseScale, true),
                    line("imei", kImeiScale, false), line("outcome", kOutcomeScale, true)};
    // The outcome takes the tile's remaining height: a wrapped label's own
    // height is often reckoned for one line.
    layout->setStretchFactor(tile.outcome, 1);
    return tile;
}

void FleetStationWindow::ShowAndRaise() {
    if (!isVisible()) {
        controller_.Press(kStationRefresh);
    }
    show();
    raise();
    activateWindow();
}

void FleetStationWindow::SetLanguage(int language) { controller_.SetLanguage(language); }

QWidget* FleetStationWindow::Control(int id) const {
    const auto found = controls_.find(id);
    return found != controls_.end() ? found->second : nullptr;
}

QWidget* FleetStationWindow::TileWidget(std::size_t index) const {
    return index < tiles_.size() ? tiles_[index].frame : nullptr;
}

void FleetStationWindow::closeEvent(QCloseEvent* event) {
    controller_.Close();
    QWidget::closeEvent(event);
}

void FleetStationWindow::SetText(int controlId, const std::string& text) {
    const QString shown = FromUtf8(text);
    QWidget* control = Control(controlId);
    if (controlId == kStationTitle) {
        setWindowTitle(shown);
    } else if (auto* label = qobject_cast<QLabel*>(control)) {
        label->setText(shown);
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        edit->setText(shown);
    } else if (auto* button = qobject_cast<QPushButton*>(control)) {
        button->setText(shown);
    }
}

std::string FleetStationWindow::Text(int controlId) const {
    const auto* edit = qobject_cast<const QLineEdit*>(Control(controlId));
    return edit != nullptr ? ToUtf8(edit->text()) : std::string();
}

void FleetStationWindow::Enable(int controlId, bool enable) {
    if (QWidget* control = Control(controlId)) {
        control->setEnabled(enable);
    }
}

void FleetStationWindow::ShowFault(int controlId, bool fault) {
    if (QWidget* control = Control(controlId)) {
        control->setStyleSheet(fault ? QStringLiteral("color: #c00000;") : QString());
    }
}

void FleetStationWindow::ShowSlotChoices(const std::vector<SlotChoice>& choices) {
    slots_->clear();
    for (const SlotChoice& choice : choices) {
        auto* item = new QListWidgetItem(FromUtf8(choice.label), slots_);
        item->setData(Qt::UserRole, FromUtf8(choice.name));
        item->setToolTip(FromUtf8(choice.label));
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        item->setCheckState(choice.ticked ? Qt::Checked : Qt::Unchecked);
    }
}

std::vector<std::string> FleetStationWindow::TickedSlots() const {
    std::vector<std::string> ticked;
    for (int i = 0; i < slots_->count(); ++i) {
        const QListWidgetItem* item = slots_->item(i);
        if (item->checkState() == Qt::Checked) {
            ticked.push_back(ToUtf8(item->data(Qt::UserRole).toString()));
        }
    }
    return ticked;
}

void FleetStationWindow::ShowTiles(const std::vector<Tile>& tiles) {
    for (const TileLabels& tile : tiles_) {
        delete tile.frame;
    }
    tiles_.clear();
    const int columns = std::min(kTileColumns, std::max(1, static_cast<int>(tiles.size())));
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        tiles_.push_back(CreateTile());
        const int index = static_cast<int>(i);
        tileGrid_->addWidget(tiles_.back().frame, index / columns, index % columns);
        ShowTile(i, tiles[i]);
    }
}

void FleetStationWindow::ShowTile(std::size_t index, const Tile& tile) {
    if (index >= tiles_.size()) {
        return;
    }
    const TileLabels& shown = tiles_[index];
    shown.port->setText(FromUtf8(tile.port));
    shown.phase->setText(FromUtf8(tile.phase));
    shown.imei->setText(FromUtf8(tile.imei));
    shown.outcome->setText(FromUtf8(tile.outcome));
    QPalette palette;  // resolves nothing: the tile inherits every colour again
    if (const std::optional<QColor> colour = Background(tile.mark)) {
        palette.setColor(QPalette::Window, *colour);
    }
    shown.frame->setPalette(palette);
}

void FleetStationWindow::ShowMessage(const std::string& text) {
    prompts_.showMessage(this, FromUtf8(text));
}

std::optional<std::filesystem::path> FleetStationWindow::AskFile(const std::string& caption,
                                                                 StationFile kind) {
    const QString path = prompts_.askFile(this, FromUtf8(caption), kind);
    if (path.isEmpty()) {
        return std::nullopt;
    }
    return std::filesystem::path(path.toStdU16String());
}

// A queued call dies with the window, so a late slot finds no dead window.
void FleetStationWindow::RunOnWindowThread(std::function<void()> call) {
    QMetaObject::invokeMethod(this, std::move(call), Qt::QueuedConnection);
}

}  // namespace vorlen::fleet

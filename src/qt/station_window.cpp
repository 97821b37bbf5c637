#include "qt/station_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileDialog>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPainter>
#include <QPushButton>
#include <QResizeEvent>
#include <QShowEvent>
#include <QStyle>
#include <QVBoxLayout>
#include <algorithm>
#include <array>
#include <optional>

#include "dialog/look.h"
#include "qt/desktop_sound.h"
#include "qt/status_colours.h"

namespace vorlen::fleet {
namespace {

QString FromUtf8(const std::string& text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

std::string ToUtf8(const QString& text) { return text.toUtf8().toStdString(); }

// Pixels between two tiles.
constexpr int kTileGap = 8;

// The room the tiles share; they are placed in it, never scrolled: a layout
// would grow the window, or need a scroll bar, to give each label its size.
class TileArea : public QWidget {
public:
    using QWidget::QWidget;
    std::function<void()> resized;

protected:
    void resizeEvent(QResizeEvent* event) override {
        QWidget::resizeEvent(event);
        if (resized) {
            resized();
        }
    }
};

// A tile line that keeps to one line: cut with "..." where the tile ends,
// as the Windows tile draws it; its text stays whole.
class OneLineLabel : public QLabel {
public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override { return {0, QLabel::minimumSizeHint().height()}; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        const QRect room = contentsRect();
        style()->drawItemText(&painter, room, static_cast<int>(alignment()), palette(),
                              isEnabled(),
                              fontMetrics().elidedText(text(), Qt::ElideRight, room.width()),
                              foregroundRole());
    }
};

// The tile's lines' object names, by TileLine.
constexpr std::array<const char*, 4> kLineNames{"port", "phase", "imei", "outcome"};

QFont Scaled(const QFont& base, TextLook look) {
    QFont font = base;
    font.setPointSizeF(base.pointSizeF() * look.percent / 100.0);
    font.setBold(look.bold);
    return font;
}

// "Vorlen profile (*.toml);;All files (*)"
QString FileFilter(StationFile kind) {
    QStringList filters;
    for (const vorlen::FileFilter& filter : StationFileFilters(kind)) {
        filters << QStringLiteral("%1 (%2)").arg(QLatin1String(filter.name), QLatin1String(filter.pattern));
    }
    return filters.join(QStringLiteral(";;"));
}

}  // namespace

StationPrompts DialogPrompts() {
    auto sound = std::make_shared<DesktopSound>();
    return {
        [](QWidget* parent, const QString& text) {
            QMessageBox::information(parent, parent->windowTitle(), text);
        },
        [](QWidget* parent, const QString& caption, StationFile kind) {
            return QFileDialog::getOpenFileName(parent, caption, QString(), FileFilter(kind));
        },
        [sound](StationSound played) {
            const SoundLook& look = *std::find_if(
                kStationSounds.begin(), kStationSounds.end(),
                [played](const SoundLook& row) { return row.sound == played; });
            return sound->Play(look.eventId, look.description);
        },
    };
}

FleetStationWindow::FleetStationWindow(StationServices services, int language, QWidget* parent,
                                       StationPrompts prompts)
    : QtSideWindow<QWidget>(parent, Qt::Window), prompts_(std::move(prompts)), controller_(*this, std::move(services)) {
    CreateControls();
    controller_.Restore();
    resize(960, 600);
    controller_.SetLanguage(language);
}

FleetStationWindow::~FleetStationWindow() = default;

void FleetStationWindow::CreateControls() {
    auto* counters = new QLabel(this);
    counters->setFont(Scaled(font(), kCountersLook));
    auto* journal = new QLabel(this);
    journal->setWordWrap(true);
    journal->setTextFormat(Qt::PlainText);
    controls_ = {{kStationCounters, counters}, {kStationJournal, journal}};

    auto* inputs = new QGridLayout;
    int row = 0;
    const std::array<std::array<int, 2>, 3> fieldRows{{
        {kStationNameLabel, kStationName},
        {kStationOperatorLabel, kStationOperator},
        {kStationJournalLabel, kStationJournalWhere},
    }};
    for (const auto& [labelId, editId] : fieldRows) {
        auto* label = new QLabel(this);
        label->setWordWrap(true);
        controls_[labelId] = label;
        controls_[editId] = new QLineEdit(this);
        inputs->addWidget(label, row++, 0, 1, 2);
        inputs->addWidget(controls_[editId], row++, 0, 1, 2);
    }
    const std::array<std::array<int, 3>, 2> fileRows{{
        {kStationProfileLabel, kStationProfile, kStationProfileBrowse},
        {kStationDevicesLabel, kStationDevices, kStationDevicesBrowse},
    }};
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
    for (const int id : {kStationRefresh, kStationStart, kStationStop, kStationReport}) {
        auto* button = new QPushButton(this);
        controls_[id] = button;
        connect(button, &QPushButton::clicked, this, [this, id] { controller_.Press(id); });
        buttons->addWidget(button);
    }
    inputs->addLayout(buttons, row++, 0, 1, 2);
    auto* sound = new QCheckBox(this);
    controls_[kStationSound] = sound;
    connect(sound, &QCheckBox::clicked, this, [this] { controller_.Press(kStationSound); });
    inputs->addWidget(sound, row, 0, 1, 2);

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
    auto* area = new TileArea(this);
    area->resized = [this] { PlaceTiles(); };
    tileArea_ = area;
    return area;
}

FleetStationWindow::TileLabels FleetStationWindow::CreateTile(std::size_t index) {
    auto* frame = new QFrame(tileArea_);
    frame->setObjectName(QStringLiteral("tile"));
    frame->setFrameShape(QFrame::Box);
    frame->setAutoFillBackground(true);
    auto* layout = new QVBoxLayout(frame);
    layout->setContentsMargins(6, 4, 6, 4);
    layout->setSpacing(2);
    std::array<QLabel*, kTileLines.size()> lines{};
    for (std::size_t i = 0; i < kTileLines.size(); ++i) {
        // Only the outcome wraps; the other lines keep to one line each, so
        // that a long one never pushes the outcome out of the tile.
        const bool wraps = kTileLines[i].line == TileLine::Outcome;
        auto* label = wraps ? new QLabel(frame) : new OneLineLabel(frame);
        label->setObjectName(QLatin1String(kLineNames[static_cast<std::size_t>(kTileLines[i].line)]));
        label->setTextFormat(Qt::PlainText);
        label->setWordWrap(wraps);
        label->setFont(Scaled(font(), kTileLines[i].look));
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        layout->addWidget(label);
        lines[i] = label;
    }
    auto* retry = new QPushButton(frame);
    retry->setObjectName(QStringLiteral("retry"));
    retry->hide();
    const int id = kStationFirstRetry + static_cast<int>(index);
    connect(retry, &QPushButton::clicked, this, [this, id] { controller_.Press(id); });
    layout->addWidget(retry, 0, Qt::AlignRight);
    // The outcome takes the tile's remaining height: a wrapped label's own
    // height is often reckoned for one line.
    layout->setStretchFactor(lines.back(), 1);
    return {frame, lines, retry};
}

void FleetStationWindow::showEvent(QShowEvent* event) {
    controller_.Show();
    QWidget::showEvent(event);
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
    } else if (auto* button = qobject_cast<QAbstractButton*>(control)) {
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
        control->setStyleSheet(fault ? QStringLiteral("color: %1;").arg(Colour(kFaultText).name())
                                     : QString());
    }
}

bool FleetStationWindow::IsChecked(int controlId) const {
    const auto* box = qobject_cast<const QCheckBox*>(Control(controlId));
    return box != nullptr && box->isChecked();
}

void FleetStationWindow::SetChecked(int controlId, bool checked) {
    if (auto* box = qobject_cast<QCheckBox*>(Control(controlId))) {
        box->setChecked(checked);
    }
}

std::string FleetStationWindow::PlaySound(StationSound sound) { return prompts_.playSound(sound); }

void FleetStationWindow::ShowSlotChoices(const std::vector<SlotChoice>& choices) {
    slots_->clear();
    for (const SlotChoice& choice : choices) {
        auto* item = new QListWidgetItem(FromUtf8(choice.label), slots_);
        item->setData(Qt::UserRole, FromUtf8(choice.name));
        item->setToolTip(FromUtf8(choice.name));
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
    for (std::size_t i = 0; i < tiles.size(); ++i) {
        tiles_.push_back(CreateTile(i));
        ShowTile(i, tiles[i]);
    }
    PlaceTiles();
}

// In the look table's grid, in the room the tiles have now.
void FleetStationWindow::PlaceTiles() {
    const std::vector<TileRect> places =
        TilePlaces(static_cast<int>(tiles_.size()),
                   {0, 0, tileArea_->width(), tileArea_->height()}, kTileGap);
    tilePercent_ = places.empty() ? 100
                                  : TileTextPercent(places.front().height, fontMetrics().height());
    for (std::size_t i = 0; i < tiles_.size(); ++i) {
        const TileRect& place = places[i];
        for (std::size_t line = 0; line < kTileLines.size(); ++line) {
            tiles_[i].lines[line]->setFont(
                Scaled(font(), Shrunk(kTileLines[line].look, tilePercent_)));
        }
        tiles_[i].frame->setGeometry(place.x, place.y, place.width, place.height);
        FitOutcome(tiles_[i]);
        tiles_[i].frame->show();
    }
}

// The outcome as large as lets it wrap into what the other lines and the
// Retry button leave of the tile.
void FleetStationWindow::FitOutcome(const TileLabels& tile) const {
    const QLayout& layout = *tile.frame->layout();
    const QRect inside = tile.frame->contentsRect().marginsRemoved(layout.contentsMargins());
    int room = inside.height();
    for (std::size_t i = 0; i + 1 < tile.lines.size(); ++i) {
        room -= tile.lines[i]->fontMetrics().height() + layout.spacing();
    }
    if (!tile.retry->isHidden()) {
        room -= tile.retry->sizeHint().height() + layout.spacing();
    }
    QLabel& outcome = *tile.lines.back();
    const TextLook look = FittingOutcome(tilePercent_, [&](const TextLook& tried) {
        const QRect needed = QFontMetrics(Scaled(font(), tried))
                                 .boundingRect(QRect(0, 0, inside.width(), QWIDGETSIZE_MAX),
                                               Qt::TextWordWrap, outcome.text());
        return needed.height() <= room && needed.width() <= inside.width();
    });
    outcome.setFont(Scaled(font(), look));
}

void FleetStationWindow::ShowTile(std::size_t index, const Tile& tile) {
    if (index >= tiles_.size()) {
        return;
    }
    const TileLabels& shown = tiles_[index];
    for (std::size_t i = 0; i < kTileLines.size(); ++i) {
        shown.lines[i]->setText(FromUtf8(LineOf(tile, kTileLines[i].line)));
    }
    shown.frame->setToolTip(FromUtf8(tile.port));
    shown.retry->setText(FromUtf8(tile.retry));
    shown.retry->setVisible(!tile.retry.empty());
    FitOutcome(shown);
    QPalette palette;  // resolves nothing: the tile inherits every colour again
    if (const std::optional<Rgb> colour = TileColour(tile.mark)) {
        palette.setColor(QPalette::Window, Colour(*colour));
        palette.setColor(QPalette::WindowText, Colour(kTileText));
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

// The fleet station as a Qt window beside the form: the profile and device
// list, the ports to tick as slots, Start and Stop, the counters at the top
// and a tile per slot, large enough to read from a step away. The behaviour
// is StationController's.
#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <vector>

#include "dialog/look.h"
#include "dialog/station_controller.h"
#include "qt/side_window.h"

class QGridLayout;
class QLabel;
class QListWidget;
class QPushButton;

namespace vorlen::fleet {

// The boxes the window puts up; tests answer them without a screen.
struct StationPrompts {
    std::function<void(QWidget* parent, const QString& text)> showMessage;
    // An empty path when the operator cancels.
    std::function<QString(QWidget* parent, const QString& caption, StationFile kind)> askFile;
    // Plays an outcome's sound; the reason when it cannot, else "".
    std::function<std::string(StationSound sound)> playSound;
};

// Qt's message box and file dialog, and the desktop's sound theme.
StationPrompts DialogPrompts();

class FleetStationWindow : public QtSideWindow<QWidget>, private StationWindow {
    Q_OBJECT

public:
    // `language` as the form's language list (0 Chinese, anything else
    // English). A window of its own even with a parent.
    FleetStationWindow(StationServices services, int language, QWidget* parent = nullptr,
                       StationPrompts prompts = DialogPrompts());
    ~FleetStationWindow() override;

    void SetLanguage(int language) override;
    bool Running() const { return controller_.Running(); }

    // The control with that id, or null; a tile by its slot's index.
    QWidget* Control(int id) const;
    QWidget* TileWidget(std::size_t index) const;

protected:
    // Closing stops a running station: each slot ends after its current
    // command, and the window goes once all have.
    void closeEvent(QCloseEvent* event) override;
    // Each showing offers the ports of that moment.
    void showEvent(QShowEvent* event) override;

private:
    struct TileLabels {
        QWidget* frame;
        std::array<QLabel*, kTileLines.size()> lines;  // as kTileLines
        QPushButton* retry;  // shown while the tile offers it
    };

    void CreateControls();
    QWidget* CreateTiles();
    TileLabels CreateTile(std::size_t index);
    void PlaceTiles();
    void FitOutcome(const TileLabels& tile) const;

    void SetText(int controlId, const std::string& text) override;
    std::string Text(int controlId) const override;
    void Enable(int controlId, bool enable) override;
    void ShowFault(int controlId, bool fault) override;
    bool IsChecked(int controlId) const override;
    void SetChecked(int controlId, bool checked) override;
    std::string PlaySound(StationSound sound) override;
    void ShowSlotChoices(const std::vector<SlotChoice>& choices) override;
    std::vector<std::string> TickedSlots() const override;
    void ShowTiles(const std::vector<Tile>& tiles) override;
    void ShowTile(std::size_t index, const Tile& tile) override;
    void ShowMessage(const std::string& text) override;
    std::optional<std::filesystem::path> AskFile(const std::string& caption,
                                                 StationFile kind) override;
    void RunOnWindowThread(std::function<void()> call) override;

    StationPrompts prompts_;
    std::map<int, QWidget*> controls_;
    QListWidget* slots_ = nullptr;
    QWidget* tileArea_ = nullptr;
    std::vector<TileLabels> tiles_;
    int tilePercent_ = 100;  // how far the tiles' lines are shrunk
    // Last, so that the station stops before the widgets it shows go.
    StationController controller_;
};

}  // namespace vorlen::fleet

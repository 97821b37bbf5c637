// The fleet station as a native window beside the form: the profile and the
// device list, the ports to tick as slots, Start and Stop, the counters and
// a tile per slot, green or red with its last tracker's outcome. Not modal:
// the form stays usable beside it. The behaviour is StationController's;
// this window only shows and forwards. Texts are UTF-16 on the screen and
// UTF-8 towards the controller.
#pragma once

#include <windows.h>

#include <array>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "dialog/look.h"
#include "dialog/station_controller.h"
#include "dialog/station_window.h"
#include "win32/side_window.h"

namespace vorlen::win32 {

class FleetStationWindow : public Win32SideWindow, private fleet::StationWindow {
public:
    // Tile n (from 0) is the child of id kFirstTile + n; its text is its
    // lines, one per row of the tile.
    static constexpr int kFirstTile = 400;

    // `owner` is the form, which the window stays above and goes with.
    FleetStationWindow(HINSTANCE instance, HWND owner, fleet::StationServices services);
    // Stops a running station first.
    ~FleetStationWindow() override;
    FleetStationWindow(const FleetStationWindow&) = delete;
    FleetStationWindow& operator=(const FleetStationWindow&) = delete;

    // Its texts follow the form's language.
    void SetLanguage(int language) override;

private:
    struct ShownTile {
        HWND control;
        HWND retry;  // a button over the tile's corner, shown while offered
        fleet::Tile tile;
    };

    template <class Object>
    friend INT_PTR CALLBACK ObjectDialogProc(HWND, UINT, WPARAM, LPARAM);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void OnInitDialog();
    void OnClose();
    void OnDestroy();
    void MakeFonts();
    void MakeTileFonts(int percent);
    void LayOut(int width, int height) override;
    void LayOutTiles(const RECT& area);
    void DrawTile(const DRAWITEMSTRUCT& item) const;
    HFONT FittedOutcomeFont(HDC dc, const std::wstring& text, const RECT& room) const;
    void DrawSlotChoice(const DRAWITEMSTRUCT& item) const;
    void RunQueuedCalls();
    HWND Item(int id) const { return ::GetDlgItem(window_, id); }

    // fleet::StationWindow.
    void SetText(int controlId, const std::string& text) override;
    std::string Text(int controlId) const override;
    void Enable(int controlId, bool enable) override;
    void ShowFault(int controlId, bool fault) override;
    bool IsChecked(int controlId) const override;
    void SetChecked(int controlId, bool checked) override;
    std::string PlaySound(fleet::StationSound sound) override;
    void ShowSlotChoices(const std::vector<fleet::SlotChoice>& choices) override;
    std::vector<std::string> TickedSlots() const override;
    void ShowTiles(const std::vector<fleet::Tile>& tiles) override;
    void ShowTile(std::size_t index, const fleet::Tile& tile) override;
    void ShowMessage(const std::string& text) override;
    std::optional<std::filesystem::path> AskFile(const std::string& caption,
                                                 fleet::StationFile kind) override;
    void RunOnWindowThread(std::function<void()> call) override;

    HINSTANCE instance_;
    std::array<HFONT, kTileLines.size()> lineFonts_{};  // as kTileLines
    HFONT countersFont_ = nullptr;
    int tileFontsPercent_ = 0;  // how far lineFonts_ are shrunk
    std::vector<std::string> slotNames_;  // what each entry of the ports' list opens
    std::vector<ShownTile> tiles_;
    std::set<int> faults_;  // the ids of the lines drawn in red

    std::mutex queueMutex_;
    HWND queueTarget_ = nullptr;  // null once the window is gone: later calls are dropped
    std::vector<std::function<void()>> queue_;

    // Last, so that it is gone before the rest: it stops the station first.
    fleet::StationController controller_;
};

}  // namespace vorlen::win32

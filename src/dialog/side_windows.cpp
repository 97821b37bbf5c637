#include "dialog/side_windows.h"

#include <utility>

#include "dialog/dialog_window.h"
#include "dialog/window_placement.h"

namespace vorlen {

SideWindows::SideWindows(DialogWindow& form, LineRecord& line, fleet::StationServices station)
    : form_(form), line_(line), station_(std::move(station)) {}

void SideWindows::ShowLineMonitor(int language) {
    Show(lineMonitor_, &SideWindows::MakeLineMonitor, language);
}

void SideWindows::ShowStation(int language) {
    Show(stationWindow_, &SideWindows::MakeStation, language);
}

void SideWindows::SetLanguage(int language) {
    for (SideWindow* window : {lineMonitor_, stationWindow_}) {
        if (window != nullptr) {
            window->SetLanguage(language);
        }
    }
}

void SideWindows::Show(SideWindow*& window, SideWindow* (SideWindows::*make)(), int language) {
    if (window == nullptr) {
        window = (this->*make)();
        if (window == nullptr) {
            return;
        }
        window->SetLanguage(language);
        const Rect frame = window->Frame();
        const Rect place = BesideForm(form_.Frame(), frame.width, frame.height, form_.ScreenArea());
        window->Move(place.x, place.y);
    }
    window->ShowAndRaise();
}

SideWindow* SideWindows::MakeLineMonitor() { return form_.MakeLineMonitor(line_); }

SideWindow* SideWindows::MakeStation() { return form_.MakeStation(station_); }

}  // namespace vorlen

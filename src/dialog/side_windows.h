// The windows the form keeps beside it: the line monitor and the fleet
// station. Each is made when the operator first asks for it and placed
// beside the form then, and only then: a window the operator has moved
// stays where it was put. From its making on it speaks the form's language
// and follows each switch at once, shown or not.
#pragma once

#include "dialog/dialog_layout.h"
#include "dialog/station_controller.h"
#include "protocol/line_record.h"

namespace vorlen {

class DialogWindow;

// What the form needs of a side window in a toolkit; the window's own
// behaviour (LineMonitor, StationController) stays behind it.
class SideWindow {
public:
    virtual ~SideWindow() = default;
    // Its frame on the screen, in pixels.
    virtual Rect Frame() const = 0;
    // Moves its frame's top left corner there, keeping its size.
    virtual void Move(int x, int y) = 0;
    // Shows it, restored when minimised, above the other windows and active.
    virtual void ShowAndRaise() = 0;
    // Its texts in the language (0 Chinese, anything else English).
    virtual void SetLanguage(int language) = 0;
};

class SideWindows {
public:
    // `form` and `line` must outlive this. The station never offers the
    // port `station.formPort` names.
    SideWindows(DialogWindow& form, LineRecord& line, fleet::StationServices station);

    void ShowLineMonitor(int language);
    void ShowStation(int language);
    // The form switched to the language: every side window made so far.
    void SetLanguage(int language);

private:
    // Makes the window at the first showing and places it beside the form.
    void Show(SideWindow*& window, SideWindow* (SideWindows::*make)(), int language);
    SideWindow* MakeLineMonitor();
    SideWindow* MakeStation();

    DialogWindow& form_;
    LineRecord& line_;
    fleet::StationServices station_;
    SideWindow* lineMonitor_ = nullptr;  // kept by the form's window
    SideWindow* stationWindow_ = nullptr;
};

}  // namespace vorlen

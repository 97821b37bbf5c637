// The fleet station of the real vorlen.exe, opened from the window menu
// beside the form, which holds COM1: a tracker of its own on COM3 is
// provisioned in its slot, its tile turns green with its IMEI and its row is
// in the journal the station names; closing the window stops the station.
#include <gtest/gtest.h>

#include <filesystem>

#include "dialog/station_window.h"
#include "dialog/system_command.h"
#include "fleet/journal/journal.h"
#include "model/bilingual.h"
#include "model/control_ids.h"
#include "sim/fleet_profile.h"
#include "profile/profile_file.h"
#include "win32/registry_store.h"
#include "win32/station_window.h"
#include "win32/wide_text.h"
#include "remote_form.h"
#include "../dialog/unplugged_ports.h"

#include <chrono>

namespace vorlen::e2e {
namespace {

using namespace fleet;
using namespace control;
namespace fs = std::filesystem;
using Station = win32::FleetStationWindow;

// A station that hangs fails the test instead of hanging the suite.
LRESULT Send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 10000, &result) == 0) {
        ADD_FAILURE() << "the station did not answer message " << message;
    }
    return static_cast<LRESULT>(result);
}

std::string TextOf(HWND window) {
    wchar_t text[1024] = {};
    Send(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text));
    return Utf8(text);
}

struct StationSearch {
    HWND form;
    HWND found;
};

BOOL CALLBACK FindStation(HWND window, LPARAM search) {
    auto* s = reinterpret_cast<StationSearch*>(search);
    if (::GetWindow(window, GW_OWNER) == s->form && ::IsWindowVisible(window) &&
        ::GetDlgItem(window, kStationSlots) != nullptr) {
        s->found = window;
        return FALSE;
    }
    return TRUE;
}

// The station as the operator opens it: the window menu's item.
HWND OpenStation(const RemoteForm& form) {
    ::PostMessageW(form.Window(), WM_SYSCOMMAND, kFleetStationCommand, 0);
    StationSearch search{form.Window(), nullptr};
    WaitUntil([&] {
        ::EnumWindows(FindStation, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr;
    });
    return search.found;
}

std::vector<std::string> SlotLabels(HWND list) {
    std::vector<std::string> labels;
    const LRESULT count = Send(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t label[512] = {};
        Send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(label));
        labels.push_back(Utf8(label));
    }
    return labels;
}

// Space on the entry under the caret, as the operator ticks a port.
void Tick(HWND list, int index) {
    Send(list, LB_SETCARETINDEX, static_cast<WPARAM>(index), FALSE);
    ::PostMessageW(list, WM_KEYDOWN, VK_SPACE, 1);
    ::PostMessageW(list, WM_KEYUP, VK_SPACE, static_cast<LPARAM>(0xC0000001u));
    EXPECT_TRUE(WaitUntil([&] { return Send(list, LB_GETSEL, static_cast<WPARAM>(index), 0) > 0; }))
        << "entry " << index << " not ticked";
}

// What the screen shows inside the tile, clear of its edge and its text.
COLORREF Background(HWND tile) {
    RECT place;
    ::GetWindowRect(tile, &place);
    HDC screen = ::GetDC(nullptr);
    const COLORREF colour = ::GetPixel(screen, place.left + 4, place.bottom - 4);
    ::ReleaseDC(nullptr, screen);
    return colour;
}

// The fleet's profile in a file of the test's own.
fs::path FleetProfileFile() {
    wchar_t folder[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, folder);
    const fs::path path = fs::path(folder) / (std::to_wstring(::GetTickCount()) + L"-fleet.toml");
    const Profile fleet = test::FleetProfile();
    EXPECT_TRUE(SaveProfileFile(path, fleet.form, fleet.selections));
    return path;
}

TEST(Station, OffersEveryPortButTheFormsAndATrackerInItsSlotTurnsItsTileGreen) {
    RemoteForm form;
    ASSERT_TRUE(form.WaitForStatus("Init and Open COM1 Success!"));
    const HWND station = OpenStation(form);
    ASSERT_NE(station, nullptr) << "no station";
    const HWND list = ::GetDlgItem(station, kStationSlots);
    const std::vector<std::string> labels = SlotLabels(list);
    ASSERT_EQ(labels.size(), 2u);
    EXPECT_EQ(labels[0].rfind("COM2", 0), 0u) << labels[0];
    EXPECT_EQ(labels[1].rfind("COM3", 0), 0u) << labels[1];
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(station, kStationStop)));

    TrackerLog log("VORLEN_LOG_COM3");
    Send(::GetDlgItem(station, kStationProfile), WM_SETTEXT, 0,
         reinterpret_cast<LPARAM>(FleetProfileFile().wstring().c_str()));
    Tick(list, 1);
    ::PostMessageW(::GetDlgItem(station, kStationStart), BM_CLICK, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return ::GetDlgItem(station, Station::kFirstTile) != nullptr; }))
        << "no tile";
    const HWND tile = ::GetDlgItem(station, Station::kFirstTile);
    EXPECT_EQ(::GetDlgItem(station, Station::kFirstTile + 1), nullptr);
    EXPECT_TRUE(WaitUntil([&] { return Background(tile) == RGB(0, 255, 0); }, 60s))
        << TextOf(tile);
    const std::string shown = TextOf(tile);
    EXPECT_EQ(shown.rfind("1  COM3", 0), 0u) << shown;  // the slot's place, then its port
    EXPECT_NE(shown.find("IMEI 864507030000003"), std::string::npos) << shown;
    EXPECT_FALSE(log.Since().empty()) << "nothing went out on COM3";
    // The tile's tracker is on record, in the journal the station names.
    const std::string journalFile = DefaultJournalFileToRead();
    const std::string journalLine = TextOf(::GetDlgItem(station, kStationJournal));
    EXPECT_NE(journalLine.find(journalFile), std::string::npos) << journalLine;
    std::string failure;
    const std::unique_ptr<Journal> journal = OpenJournalForReading(journalFile, failure);
    ASSERT_NE(journal, nullptr) << failure;
    std::vector<JournalEntry> rows;
    ASSERT_TRUE(journal->Newest(1, "864507030000003", rows)) << journal->LastError();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0].port, "COM3");
    EXPECT_EQ(rows[0].result, "done");

    ASSERT_TRUE(::IsWindowEnabled(::GetDlgItem(station, kStationStop)));
    ::PostMessageW(::GetDlgItem(station, kStationStop), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(station, kStationStart)); }))
        << "the station did not stop";
}

// The silent tracker's slot wakes it again and again until the station
// stops: closing the window must stop it, not only hide it.
TEST(Station, ClosingItWhileRunningStopsEverySlot) {
    RemoteForm form;
    ASSERT_TRUE(form.WaitForStatus("Init and Open COM1 Success!"));
    HWND station = OpenStation(form);
    ASSERT_NE(station, nullptr) << "no station";
    TrackerLog log("VORLEN_LOG_COM2");
    Send(::GetDlgItem(station, kStationProfile), WM_SETTEXT, 0,
         reinterpret_cast<LPARAM>(FleetProfileFile().wstring().c_str()));
    Tick(::GetDlgItem(station, kStationSlots), 0);
    ::PostMessageW(::GetDlgItem(station, kStationStart), BM_CLICK, 0, 0);
    ASSERT_TRUE(log.WaitForCommands(1, 10s)) << "the slot never woke COM2";

    ::PostMessageW(station, WM_CLOSE, 0, 0);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(station); }, 20s)) << "still open";
    log.Mark();
    ::Sleep(2000);
    EXPECT_TRUE(log.Since().empty()) << log.Since().front();
    station = OpenStation(form);
    ASSERT_NE(station, nullptr) << "no station";
    EXPECT_TRUE(::IsWindowEnabled(::GetDlgItem(station, kStationStart)));
    EXPECT_FALSE(::IsWindowEnabled(::GetDlgItem(station, kStationStop)));

    // The form's language reaches the open station at once.
    form.Choose(kLanguageList, kChinese);
    EXPECT_TRUE(WaitUntil([&] { return TextOf(station) == "批量工位"; })) << TextOf(station);
    EXPECT_EQ(TextOf(::GetDlgItem(station, kStationStart)), "开始");
}

// The registry gives back what the station kept, Chinese too, to a store
// made anew; a value never written is none.
TEST(Station, TheRegistryKeepsEachFieldForTheNextRun) {
    const std::string key = "test-" + std::to_string(::GetTickCount());
    EXPECT_EQ(win32::RegistryStore().Read(key), std::nullopt);
    EXPECT_EQ(win32::RegistryStore().Write(key, "李 Wei"), "");
    EXPECT_EQ(win32::RegistryStore().Read(key), "李 Wei");
    EXPECT_EQ(win32::RegistryStore().Write(key, ""), "");
    EXPECT_EQ(win32::RegistryStore().Read(key), "");
    HKEY station = nullptr;
    ASSERT_EQ(::RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Vorlen\\Station", 0, KEY_SET_VALUE,
                              &station),
              ERROR_SUCCESS);
    ::RegDeleteValueW(station, WideOfUtf8(key).c_str());
    ::RegCloseKey(station);
}

// `count` ports that are never plugged in.
StationServices UnpluggedPorts(int count) {
    return test::UnpluggedPorts([count] {
        std::vector<std::string> ports;
        for (int i = 0; i < count; ++i) {
            ports.push_back("COM" + std::to_string(100 + i));
        }
        return ports;
    });
}

BOOL CALLBACK FindThreadsStation(HWND window, LPARAM found) {
    if (::GetDlgItem(window, kStationSlots) != nullptr) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

// However many slots are ticked, up to the 16 a station may have, every
// tile is whole inside the window's client area, at the window's first size
// and at a smaller one. The station window of this process, on ports that
// are never plugged in.
TEST(Station, EveryTileFitsTheWindowAtAnyCountOfSlots) {
    for (const int count : {1, 3, 8, 16}) {
        SCOPED_TRACE(::testing::Message() << count << " slots");
        Station window(::GetModuleHandleW(nullptr), nullptr, UnpluggedPorts(count));
        ASSERT_TRUE(window.Made());
        window.SetLanguage(kEnglish);
        window.ShowAndRaise();
        HWND station = nullptr;
        ::EnumThreadWindows(::GetCurrentThreadId(), FindThreadsStation,
                            reinterpret_cast<LPARAM>(&station));
        ASSERT_NE(station, nullptr);
        ::SetDlgItemTextW(station, kStationProfile, FleetProfileFile().wstring().c_str());
        const HWND list = ::GetDlgItem(station, kStationSlots);
        ASSERT_EQ(::SendMessageW(list, LB_GETCOUNT, 0, 0), count);
        ::SendMessageW(list, LB_SETSEL, TRUE, static_cast<LPARAM>(-1));
        ::SendMessageW(::GetDlgItem(station, kStationStart), BM_CLICK, 0, 0);
        ASSERT_NE(::GetDlgItem(station, Station::kFirstTile), nullptr) << "not started";
        RECT first;
        ::GetWindowRect(station, &first);
        for (const SIZE size : {SIZE{first.right - first.left, first.bottom - first.top},
                                SIZE{first.right - first.left - 80, first.bottom - first.top - 60}}) {
            ::SetWindowPos(station, nullptr, 0, 0, size.cx, size.cy, SWP_NOMOVE | SWP_NOZORDER);
            RECT client;
            ::GetClientRect(station, &client);
            for (int i = 0; i < count; ++i) {
                const HWND tile = ::GetDlgItem(station, Station::kFirstTile + i);
                ASSERT_NE(tile, nullptr) << i;
                RECT place;
                ::GetWindowRect(tile, &place);
                ::MapWindowPoints(nullptr, station, reinterpret_cast<POINT*>(&place), 2);
                EXPECT_TRUE(::IsWindowVisible(tile)) << i;
                EXPECT_LT(place.left, place.right) << i;
                EXPECT_LT(place.top, place.bottom) << i;
                EXPECT_TRUE(place.left >= 0 && place.top >= 0 && place.right <= client.right &&
                            place.bottom <= client.bottom)
                    << "tile " << i << " at " << place.left << "," << place.top << " to "
                    << place.right << "," << place.bottom << " in " << client.right << "x"
                    << client.bottom;
            }
        }
    }
}

}  // namespace
}  // namespace vorlen::e2e

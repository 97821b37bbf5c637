#include "dialog/button_actions.h"

#include <array>

#include "model/control_ids.h"
#include "model/find_row.h"

namespace vorlen {
namespace {

template <int slot>
Verdict CheckSlot(TrackerForm& form, const Selections&) {
    return CheckUserNumber(form, slot);
}

Verdict CheckCenter(TrackerForm& form, const Selections&) { return CheckCenterNumber(form); }
Verdict CheckPassword(TrackerForm& form, const Selections&) { return CheckUserPassword(form); }
Verdict CheckId(TrackerForm& form, const Selections&) { return CheckUserId(form); }
Verdict CheckApnTexts(TrackerForm& form, const Selections&) { return CheckApn(form); }
Verdict CheckServer(TrackerForm& form, const Selections&) { return CheckIpAndPort(form); }

using C = CommandType;
namespace id = control;

constexpr std::array<ButtonAction, 26> kActions{{
    {id::kSetUserNumber1 + 0, C::SetUserNumber1, CheckSlot<1>},
    {id::kSetUserNumber1 + 1, C::SetUserNumber2, CheckSlot<2>},
    {id::kSetUserNumber1 + 2, C::SetUserNumber3, CheckSlot<3>},
    {id::kSetUserNumber1 + 3, C::SetUserNumber4, CheckSlot<4>},
    {id::kSetUserNumber1 + 4, C::SetUserNumber5, CheckSlot<5>},
    {id::kSetUserNumber1 + 5, C::SetUserNumber6, CheckSlot<6>},
    {id::kSetUserNumber1 + 6, C::SetUserNumber7, CheckSlot<7>},
    {id::kSetUserNumber1 + 7, C::SetUserNumber8, CheckSlot<8>},
    {id::kSetUserNumber1 + 8, C::SetUserNumber9, CheckSlot<9>},
    {id::kSetCenterNumber, C::SetCenterNumber, CheckCenter},
    {id::kSetSystemMode, C::SetSystemMode, nullptr},
    {id::kSetWarningType, C::SetWarningType, nullptr},
    {id::kSetIntervalAndUpload, C::SetIntervalAndUpload, CheckIntervalAndUpload},
    {id::kSetElectricFence, C::SetElectricFence, CheckElectricFence},
    {id::kSetUserPassword, C::SetUserPassword, CheckPassword},
    {id::kSetBaseStationNumber, C::SetBaseStationNumber, nullptr},
    {id::kSetUserId, C::SetUserId, CheckId},
    {id::kSetApn, C::SetApn, CheckApnTexts},
    {id::kSetIpAndPort, C::SetIpAndPort, CheckServer},
    {id::kResetConfig, C::ResetConfig, nullptr},
    {id::kOpenGps, C::OpenGps, nullptr},
    {id::kCloseGps, C::CloseGps, nullptr},
    {id::kReadImei, C::ReadImei, nullptr},
    {id::kWriteImei, C::WriteImei, nullptr},
    {id::kReadConfig, C::ReadConfig, nullptr},
    {id::kSetAll, C::SetAll, ValidateAllFields},
}};

}  // namespace

std::span<const ButtonAction> ButtonActions() { return kActions; }

const ButtonAction* ActionForButton(int buttonId) {
    return FindRow(ButtonActions(), &ButtonAction::buttonId, buttonId);
}

}  // namespace vorlen

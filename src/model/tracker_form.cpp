#include "model/tracker_form.h"

#include <array>
#include <stdexcept>

#include "model/control_ids.h"
#include "model/find_row.h"

namespace vorlen {
namespace {

using F = TrackerForm;

constexpr std::array<FieldSpec, 27> kExchangeOrder{{
    {"fenceEnabled", control::kFenceOpen, 0, nullptr},
    {"apn", control::kApn, 100, &F::apn},
    {"apnPassword", control::kApnPassword, 32, &F::apnPassword},
    {"apnUser", control::kApnUser, 32, &F::apnUser},
    {"centerNumber", control::kCenterNumber, 20, &F::centerNumber},
    {"fenceInterval", control::kFenceInterval, 2, &F::fenceInterval},
    {"intervalTime", control::kIntervalTime, 5, &F::intervalTime},
    {"latitude", control::kLatitude, 9, &F::latitude},
    {"longitude", control::kLongitude, 10, &F::longitude},
    {"fenceRadius", control::kFenceRadius, 5, &F::fenceRadius},
    {"uploadCount", control::kUploadCount, 2, &F::uploadCount},
    {"userNumber1", control::kUserNumber1 + 0, 20, &F::userNumber1},
    {"userNumber2", control::kUserNumber1 + 1, 20, &F::userNumber2},
    {"userNumber3", control::kUserNumber1 + 2, 20, &F::userNumber3},
    {"userNumber4", control::kUserNumber1 + 3, 20, &F::userNumber4},
    {"userNumber5", control::kUserNumber1 + 4, 20, &F::userNumber5},
    {"userNumber6", control::kUserNumber1 + 5, 20, &F::userNumber6},
    {"userNumber7", control::kUserNumber1 + 6, 20, &F::userNumber7},
    {"userNumber8", control::kUserNumber1 + 7, 20, &F::userNumber8},
    {"userNumber9", control::kUserNumber1 + 8, 20, &F::userNumber9},
    {"userPassword", control::kUserPassword, 4, &F::userPassword},
    {"userId", control::kUserId, 20, &F::userId},
    {"serverIp", control::kServerIp, 25, &F::serverIp},
    {"serverPort", control::kServerPort, 5, &F::serverPort},
    {"statusText", control::kStatusBox, 0, &F::statusText},
    {"imei", control::kImei, 0, &F::imei},
    {"softwareVersion", control::kSoftwareVersion, 0, &F::softwareVersion},
}};

constexpr std::array<std::string F::*, 9> kUserNumbers{
    &F::userNumber1, &F::userNumber2, &F::userNumber3, &F::userNumber4, &F::userNumber5,
    &F::userNumber6, &F::userNumber7, &F::userNumber8, &F::userNumber9,
};

std::string F::*UserNumberMember(int slot) {
    if (slot < 1 || slot > 9) {
        throw std::out_of_range("user number slot must be 1 to 9");
    }
    return kUserNumbers[static_cast<std::size_t>(slot - 1)];
}

}  // namespace

std::span<const FieldSpec> ExchangeOrder() { return kExchangeOrder; }

const FieldSpec* FieldForControl(int controlId) {
    return FindRow(ExchangeOrder(), &FieldSpec::controlId, controlId);
}

std::string& UserNumber(TrackerForm& form, int slot) { return form.*UserNumberMember(slot); }

const std::string& UserNumber(const TrackerForm& form, int slot) {
    return form.*UserNumberMember(slot);
}

}  // namespace vorlen

// The profile the fleet's tests send: every setting the form has.
#pragma once

#include <string>

#include "model/gbk.h"
#include "profile/profile.h"

namespace vorlen::test {

// Every setting the form has, the custom fence on, a Chinese APN user.
inline Profile FleetProfile() {
    Profile profile;
    TrackerForm& form = profile.form;
    for (int slot = 1; slot <= 9; ++slot) {
        UserNumber(form, slot) = "1390000000" + std::to_string(slot);
    }
    form.centerNumber = "+8610086";
    form.intervalTime = "30";
    form.uploadCount = "5";
    form.fenceEnabled = 1;
    form.fenceRadius = "500";
    form.fenceInterval = "10";
    form.latitude = "2232.1234";
    form.longitude = "11403.5678";
    form.userPassword = "4321";
    form.userId = "FLEET01";
    form.apn = "cmnet";
    form.apnUser = GbkOf("车队");
    form.apnPassword = "secret";
    form.serverIp = "10.1.2.3";
    form.serverPort = "9000";
    profile.selections = {kModeLongGprs, 3, 5, kCustomFence, 1, 0};
    return profile;
}

}  // namespace vorlen::test

// The form's value record. Every text is held as GBK bytes (code page 936),
// the encoding the tracker and the Chinese captions use; a length limit
// counts those bytes, so a Chinese character takes two.
#pragma once

#include <span>
#include <string>
#include <string_view>

namespace vorlen {

struct TrackerForm {
    int fenceEnabled = 0;
    std::string apn;
    std::string apnPassword;
    std::string apnUser;
    std::string centerNumber;
    std::string fenceInterval;
    std::string intervalTime;
    std::string latitude;
    std::string longitude;
    std::string fenceRadius;
    std::string uploadCount;
    std::string userNumber1;
    std::string userNumber2;
    std::string userNumber3;
    std::string userNumber4;
    std::string userNumber5;
    std::string userNumber6;
    std::string userNumber7;
    std::string userNumber8;
    std::string userNumber9;
    std::string userPassword;
    std::string userId;
    std::string serverIp;
    std::string serverPort;
    std::string statusText;
    std::string imei;
    std::string softwareVersion;
};

// One exchanged field: the control it is bound to and its limit in bytes
// (0: no limit). `text` is null for the fence check box, whose value is
// `fenceEnabled`.
struct FieldSpec {
    std::string_view name;
    int controlId;
    int maxLength;
    std::string TrackerForm::*text;
};

// Every exchanged field in the order the save visits them. This order decides
// which fields a save has copied when it stops at an over-long field.
std::span<const FieldSpec> ExchangeOrder();

// The field bound to a control, or null when the control has no field.
const FieldSpec* FieldForControl(int controlId);

// User number `slot` (1 to 9).
std::string& UserNumber(TrackerForm& form, int slot);
const std::string& UserNumber(const TrackerForm& form, int slot);

}  // namespace vorlen

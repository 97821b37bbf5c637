#include "dialog/dialog_layout.h"

#include <algorithm>
#include <array>

#include "model/control_ids.h"
#include "model/find_row.h"

namespace vorlen {
namespace {

using enum ControlKind;
using enum Reaction;
using namespace control;
using namespace control_flag;

constexpr std::array<DialogControl, 86> kLayout{{
    {kPortList, DropDownList, {38, 12, 48, 63}, "", kShowsTips, PortChange},
    {kLanguageList, DropDownList, {139, 12, 48, 71}, "", kShowsTips, LanguageChange},
    {kStatusBox, Edit, {200, 12, 265, 28}, "", kMultiLine | kReadOnly | kVerticalScroll},
    {kSetUserNumber1 + 0, PushButton, {13, 55, 79, 14}, "设置用户号码1", 0, Press},
    {kSetUserNumber1 + 1, PushButton, {13, 74, 79, 14}, "设置用户号码2(B)", 0, Press},
    {kSetUserNumber1 + 2, PushButton, {13, 93, 79, 14}, "设置用户号码3(C)", 0, Press},
    {kSetUserNumber1 + 3, PushButton, {13, 112, 79, 14}, "设置用户号码4", 0, Press},
    {kSetUserNumber1 + 4, PushButton, {13, 131, 79, 14}, "设置用户号码5", 0, Press},
    {kSetUserNumber1 + 5, PushButton, {13, 150, 79, 14}, "设置用户号码6", 0, Press},
    {kSetUserNumber1 + 6, PushButton, {13, 169, 79, 14}, "设置用户号码7", 0, Press},
    {kSetUserNumber1 + 7, PushButton, {13, 188, 79, 14}, "设置用户号码8", 0, Press},
    {kSetUserNumber1 + 8, PushButton, {13, 207, 79, 14}, "设置用户号码9", 0, Press},
    {kSetCenterNumber, PushButton, {13, 242, 79, 14}, "设置中心号码", 0, Press},
    {kSetIntervalAndUpload, PushButton, {164, 124, 64, 36}, "设置间隔时间和每次上传条数", kMultiLine, Press},
    {kSetUserId, PushButton, {318, 108, 88, 14}, "设置用户ID号", 0, Press},
    {kSetWarningType, PushButton, {318, 142, 75, 14}, "设置警告模式", 0, Press},
    {kSetUserPassword, PushButton, {318, 175, 88, 14}, "设置用户密码", 0, Press},
    {kUserNumber1 + 0, Edit, {97, 55, 49, 14}, "", 0},
    {kUserNumber1 + 1, Edit, {97, 74, 49, 14}, "", 0},
    {kUserNumber1 + 2, Edit, {97, 93, 49, 14}, "", 0},
    {kUserNumber1 + 3, Edit, {97, 112, 49, 14}, "", 0},
    {kUserNumber1 + 4, Edit, {97, 131, 49, 14}, "", 0},
    {kUserNumber1 + 5, Edit, {97, 150, 49, 14}, "", 0},
    {kUserNumber1 + 6, Edit, {97, 169, 49, 14}, "", 0},
    {kUserNumber1 + 7, Edit, {97, 188, 49, 14}, "", 0},
    {kUserNumber1 + 8, Edit, {97, 207, 49, 14}, "", 0},
    {kUserNumberGroup, GroupBox, {8, 44, 145, 185}, "", 0},
    {kCenterNumber, Edit, {97, 242, 49, 14}, "", 0},
    {kCenterGroup, GroupBox, {8, 231, 145, 32}, "", 0},
    {kNoControlId, GroupBox, {313, 231, 151, 30}, "", 0},
    {kSetSystemMode, PushButton, {318, 241, 71, 14}, "设置工作模式", 0, Press},
    {kWorkingModeList, DropDownList, {395, 241, 64, 68}, "", kShowsTips, WorkingModeChange},
    {kApnGroup, GroupBox, {157, 44, 152, 69}, "", 0},
    {kSetApn, PushButton, {164, 55, 68, 14}, "APN设置", 0, Press},
    {kApn, Edit, {239, 54, 65, 14}, "", 0},
    {kIntervalGroup, GroupBox, {157, 114, 152, 53}, "", 0},
    {kIntervalTime, Edit, {236, 139, 25, 14}, "", 0},
    {kIntervalLabel, Label, {230, 126, 33, 11}, "采样间隔", 0},
    {kUploadCount, Edit, {274, 139, 25, 14}, "", 0},
    {kUploadCountLabel, Label, {268, 126, 33, 11}, "上传条数", 0},
    {kFenceGroup, GroupBox, {157, 168, 152, 94}, "", 0},
    {kSetElectricFence, PushButton, {164, 176, 43, 82}, "设置电子围栏功能", kMultiLine, Press},
    {kFenceTypeList, DropDownList, {241, 176, 63, 78}, "", kShowsTips, FenceTypeChange},
    {kFenceRadius, Edit, {210, 206, 24, 14}, "", 0},
    {kFenceInterval, Edit, {244, 206, 24, 14}, "", 0},
    {kRadiusLabel, Label, {210, 195, 23, 8}, "半径", 0},
    {kFenceIntervalLabel, Label, {244, 195, 32, 8}, "间隔时间", 0},
    {kLatitudeLabel, Label, {210, 227, 32, 8}, "纬度", 0},
    {kLatitude, Edit, {244, 224, 38, 14}, "", 0},
    {kNorthSouthList, DropDownList, {284, 224, 21, 48}, "", 0},
    {kLongitudeLabel, Label, {210, 242, 32, 8}, "经度", 0},
    {kLongitude, Edit, {244, 240, 38, 14}, "", 0},
    {kEastWestList, DropDownList, {284, 240, 21, 48}, "", 0},
    {kFenceOpen, CheckBox, {210, 177, 31, 10}, "打开", 0, FenceOpenClick},
    {kUserIdGroup, GroupBox, {313, 99, 151, 30}, "", 0},
    {kUserId, Edit, {409, 108, 50, 14}, "", 0},
    {kNoControlId, GroupBox, {313, 132, 151, 30}, "", 0},
    {kWarningTypeList, DropDownList, {398, 142, 61, 71}, "", kShowsTips},
    {kNoControlId, GroupBox, {313, 165, 151, 30}, "", 0},
    {kUserPassword, Edit, {417, 175, 42, 14}, "", 0},
    {kNoControlId, GroupBox, {313, 198, 151, 30}, "", 0},
    {kSetBaseStationNumber, PushButton, {318, 207, 103, 14}, "设置回传基站个数", 0, Press},
    {kApnUserLabel, Label, {164, 76, 68, 11}, "APN用户名", kCentered},
    {kApnUser, Edit, {239, 73, 65, 14}, "", 0},
    {kApnPasswordLabel, Label, {163, 93, 69, 11}, "APN密码", kCentered},
    {kApnPassword, Edit, {239, 92, 65, 14}, "", 0},
    {kIpPortGroup, GroupBox, {313, 44, 151, 51}, "", 0},
    {kSetIpAndPort, PushButton, {318, 53, 88, 14}, "设置IP地址和端口", 0, Press},
    {kServerIp, Edit, {318, 72, 88, 14}, "", 0},
    {kServerPortLabel, Label, {426, 55, 16, 8}, "端口", 0},
    {kServerPort, Edit, {419, 72, 33, 14}, "", 0},
    {kResetConfig, PushButton, {13, 275, 58, 14}, "恢复出厂设置", 0, Press},
    {kSetAll, PushButton, {78, 275, 58, 14}, "设置所有", 0, Press},
    {kBaseStationList, DropDownList, {429, 207, 30, 60}, "", 0},
    {kPortLabel, Label, {8, 15, 21, 8}, "串口", 0},
    {kLanguageLabel, Label, {97, 16, 35, 8}, "语言", 0},
    {kReadConfig, PushButton, {145, 275, 58, 14}, "读取配置信息", 0, Press},
    {kReadImei, PushButton, {13, 297, 58, 14}, "读取IMEI", 0, Press},
    {kOpenGps, PushButton, {209, 275, 58, 14}, "打开GPS", 0, Press},
    {kCloseGps, PushButton, {276, 275, 58, 14}, "关闭GPS", 0, Press},
    {kWriteImei, PushButton, {78, 297, 58, 14}, "写IMEI", kHidden, Press},
    {kWakeTracker, PushButton, {7, 31, 72, 14}, "唤醒追踪器", 0, Press},
    {kConfigArea, GroupBox, {7, 47, 458, 271}, "", kHidden},
    {kImei, Edit, {145, 297, 83, 14}, "", 0},
    {kVersionLabel, Label, {242, 300, 70, 8}, "Tracker软件版本", 0},
    {kSoftwareVersion, Edit, {318, 297, 92, 14}, "", 0},
}};

}  // namespace

std::span<const DialogControl> DialogLayout() { return kLayout; }

const DialogControl* FindDialogControl(int id) {
    if (id == kNoControlId) {
        return nullptr;
    }
    return FindRow(DialogLayout(), &DialogControl::id, id);
}

Rect FieldRect(const DialogControl& control) {
    Rect rect = control.rect;
    if (control.kind == ControlKind::DropDownList) {
        rect.height = kClosedListHeight;
    }
    return rect;
}

int OpenListRows(const DialogControl& list) {
    return std::max(1, (list.rect.height - kClosedListHeight) / kListRowHeight);
}

bool Contains(const Rect& outer, const Rect& inner) {
    return inner.x >= outer.x && inner.Right() <= outer.Right() && inner.y >= outer.y &&
           inner.Bottom() <= outer.Bottom();
}

}  // namespace vorlen

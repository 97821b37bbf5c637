#include "dialog/captions.h"

#include <array>

#include "model/control_ids.h"

namespace vorlen {
namespace {

using namespace control;

constexpr std::array<Caption, 40> kCaptions{{
    {kPortLabel, {"Port", "串口"}},
    {kLanguageLabel, {"Language", "语言"}},
    {kSetUserNumber1 + 0, {"Set User Number1", "设置用户号码1"}},
    {kSetUserNumber1 + 1, {"Set User Number2(B)", "设置用户号码2(B)"}},
    {kSetUserNumber1 + 2, {"Set User Number3(C)", "设置用户号码3(C)"}},
    {kSetUserNumber1 + 3, {"Set User Number4", "设置用户号码4"}},
    {kSetUserNumber1 + 4, {"Set User Number5", "设置用户号码5"}},
    {kSetUserNumber1 + 5, {"Set User Number6", "设置用户号码6"}},
    {kSetUserNumber1 + 6, {"Set User Number7", "设置用户号码7"}},
    {kSetUserNumber1 + 7, {"Set User Number8", "设置用户号码8"}},
    {kSetUserNumber1 + 8, {"Set User Number9", "设置用户号码9"}},
    {kSetCenterNumber, {"Set Center Number", "设置中心号码"}},
    {kSetApn, {"Set APN", "APN设置"}},
    {kApnUserLabel, {"APN User Name", "APN用户名"}},
    {kApnPasswordLabel, {"APN Password", "APN密码"}},
    {kSetIntervalAndUpload, {"Set Interval And Upload Numbers of Records", "设置间隔时间和每次上传条数"}},
    {kIntervalLabel, {"Interval", "采样间隔"}},
    {kUploadCountLabel, {"Number", "上传条数"}},
    {kSetElectricFence, {"Set Electric Fence", "设置电子围栏功能"}},
    {kFenceOpen, {"Open", "打开"}},
    {kRadiusLabel, {"Radius", "半径"}},
    {kFenceIntervalLabel, {"Interval", "间隔时间"}},
    {kLatitudeLabel, {"Latitude", "纬度"}},
    {kLongitudeLabel, {"Longitude", "经度"}},
    {kSetIpAndPort, {"Set IP And Port", "设置IP地址和端口"}},
    {kServerPortLabel, {"Port", "端口"}},
    {kSetUserId, {"Set User ID", "设置用户ID号"}},
    {kSetUserPassword, {"Set User Password", "设置用户密码"}},
    {kSetWarningType, {"Set Warning Type", "设置警告模式"}},
    {kSetBaseStationNumber, {"Set BaseStation Number", "设置回传基站个数"}},
    {kSetSystemMode, {"Set System Mode", "设置工作模式"}},
    {kResetConfig, {"Reset", "恢复出厂设置"}},
    {kSetAll, {"Set ALL", "设置所有"}},
    {kOpenGps, {"Open GPS", "打开GPS"}},
    {kCloseGps, {"Close GPS", "关闭GPS"}},
    {kWakeTracker, {"Wake Tracker", "唤醒追踪器"}},
    {kReadConfig, {"Read Config", "读取配置信息"}},
    {kReadImei, {"Read IMEI", "读取IMEI"}},
    {kWriteImei, {"Write IMEI", "写IMEI"}},
    {kVersionLabel, {"Tracker Version", "Tracker软件版本"}},
}};

}  // namespace

std::span<const Caption> LanguageCaptions() { return kCaptions; }

}  // namespace vorlen

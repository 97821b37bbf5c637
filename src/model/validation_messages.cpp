#include "model/validation_messages.h"

#include <array>
#include <stdexcept>

namespace vorlen {
namespace {

// In the order of ValidationMessage. The Chinese user-number and
// password-length texts have no exclamation mark; the operator has always
// seen them so.
constexpr std::array<Bilingual, 26> kMessages{{
    {"Input number is invalid!", "输入的号码不符合要求"},
    {"Center number is invalid!", "请输入合法的中心号码!"},
    {"User ID is invalid!", "请输入合法的用户ID!"},
    {"The length of password must be four!", "密码的长度必须为4"},
    {"Password must be valid digit number!", "密码必须为数字!"},
    {"Interval time is invalid!", "请输入合法的间隔时间!"},
    {"Upload number is invalid!", "请输入合法的上传条数!"},
    {"Fence radius is invalid!", "请输入合法的围栏半径!"},
    {"Fence interval time is invalid!", "请输入合法的围栏间隔时间!"},
    {"Latitude is invalid!", "请输入合法的纬度!"},
    {"Longitude is invalid!", "请输入合法的经度!"},
    {"Input number1 is invalid!", "输入的绑定号码1不符合要求"},
    {"Input number2 is invalid!", "输入的绑定号码2不符合要求"},
    {"Input number3 is invalid!", "输入的绑定号码3不符合要求"},
    {"Input number4 is invalid!", "输入的绑定号码4不符合要求"},
    {"Input number5 is invalid!", "输入的绑定号码5不符合要求"},
    {"Input number6 is invalid!", "输入的绑定号码6不符合要求"},
    {"Input number7 is invalid!", "输入的绑定号码7不符合要求"},
    {"Input number8 is invalid!", "输入的绑定号码8不符合要求"},
    {"Input number9 is invalid!", "输入的绑定号码9不符合要求"},
    {"User ID must not contain , ; # or control characters!", "用户ID不能含有 , ; # 或控制字符!"},
    {"APN must not contain , ; # or control characters!", "APN不能含有 , ; # 或控制字符!"},
    {"APN user must not contain , ; # or control characters!", "APN用户名不能含有 , ; # 或控制字符!"},
    {"APN password must not contain , ; # or control characters!", "APN密码不能含有 , ; # 或控制字符!"},
    {"Server IP must not contain , ; # or control characters!", "IP地址不能含有 , ; # 或控制字符!"},
    {"Server port must not contain , ; # or control characters!", "端口不能含有 , ; # 或控制字符!"},
}};

}  // namespace

ValidationMessage UserNumberInSlot(int slot) {
    if (slot < 1 || slot > 9) {
        throw std::out_of_range("user number slot must be 1 to 9");
    }
    return static_cast<ValidationMessage>(static_cast<int>(ValidationMessage::UserNumber1) +
                                          slot - 1);
}

const Bilingual& MessageText(ValidationMessage message) {
    return kMessages.at(static_cast<std::size_t>(message));
}

}  // namespace vorlen

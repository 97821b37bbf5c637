#include "protocol/result_messages.h"

#include <array>
#include <stdexcept>

#include "model/bilingual.h"

namespace vorlen {
namespace {

struct ResultRow {
    Bilingual success;
    Bilingual failure;
};

constexpr std::array<ResultRow, kCommandTypeCount> kResults{{
    {{"Set 1th pre-stored phonenumber successfully!", "成功设置第一个绑定号码!"},
     {"Set 1th pre-stored phonenumber failed!", "第一个绑定号码设置失败!"}},
    {{"Set 2th pre-stored phonenumber successfully!", "成功设置第二个绑定号码!"},
     {"Set 2th pre-stored phonenumber failed!", "第二个绑定号码设置失败!"}},
    {{"Set 3th pre-stored phonenumber successfully!", "成功设置第三个绑定号码!"},
     {"Set 3th pre-stored phonenumber failed!", "第三个绑定号码设置失败!"}},
    {{"Set 4th pre-stored phonenumber successfully!", "成功设置第四个绑定号码!"},
     {"Set 4th pre-stored phonenumber failed!", "第四个绑定号码设置失败!"}},
    {{"Set 5th pre-stored phonenumber successfully!", "成功设置第五个绑定号码!"},
     {"Set 5th pre-stored phonenumber failed!", "第五个绑定号码设置失败!"}},
    {{"Set 6th pre-stored phonenumber successfully!", "成功设置第六个绑定号码!"},
     {"Set 6th pre-stored phonenumber failed!", "第六个绑定号码设置失败!"}},
    {{"Set 7th pre-stored phonenumber successfully!", "成功设置第七个绑定号码!"},
     {"Set 7th pre-stored phonenumber failed!", "第七个绑定号码设置失败!"}},
    {{"Set 8th pre-stored phonenumber successfully!", "成功设置第八个绑定号码!"},
     {"Set 8th pre-stored phonenumber failed!", "第八个绑定号码设置失败!"}},
    {{"Set 9th pre-stored phonenumber successfully!", "成功设置第九个绑定号码!"},
     {"Set 9th pre-stored phonenumber failed!", "第九个绑定号码设置失败!"}},
    {{"Set center number successfully!", "成功设置中心号码!"},
     {"Set center number failed!", "中心号码设置失败!"}},
    {{"Set system mode successfully!", "成功设置工作模式!"},
     {"Set system mode failed!", "工作模式设置失败!"}},
    {{"Set warning type successfully!", "成功设置警告类型!"},
     {"Set warning type failed!", "警告类型设置失败!"}},
    {{"Set interval time and count successfully!", "成功设置间隔时间及上传次数!"},
     {"Set interval time and count failed!", "间隔时间及上传次数设置失败!"}},
    {{"Set fence information successfully!", "成功设置围栏报警信息!"},
     {"Set fence information failed!", "围栏报警信息设置失败!"}},
    {{"Set user password successfully!", "成功设置用户密码!"},
     {"Set user password failed!", "用户密码设置失败!"}},
    {{"Set the number of base-station successfully!", "成功设置上传基站数量!"},
     {"Set the number of base-station failed!", "上传基站数量设置失败!"}},
    {{"Set user ID successfully!", "成功设置用户ID号!"},
     {"Set user ID failed!", "用户ID号设置失败!"}},
    {{"Set APN successfully!", "成功设置APN!"}, {"Set APN failed!", "APN设置失败!"}},
    {{"Set IP and port number successfully!", "成功设置IP地址和端口号!"},
     {"Set IP and port number failed!", "IP地址和端口号设置失败!"}},
    {{"Reset config successfully!", "成功重置所有配置!"},
     {"Reset config failed!", "重置所有配置失败!"}},
    {{"Open GPS power successfully!", "成功打开GPS!"},
     {"Open GPS power failed!", "打开GPS失败!"}},
    {{"Close GPS power successfully!", "成功关闭GPS!"},
     {"Close GPS power failed!", "关闭GPS失败!"}},
    {{"Read IMEI successfully!", "成功读取IMEI!"}, {"Read IMEI failed!", "读取IMEI失败!"}},
    {{"Write IMEI successfully!", "成功写IMEI!"}, {"Write IMEI failed!", "写IMEI失败!"}},
    {{}, {}},  // ReadConfig reports with the read-back's own texts
    {{"Set all config successfully!", "成功设置所有配置信息!"}, {}},
}};

}  // namespace

std::string ResultText(CommandType type, bool succeeded, int language) {
    const int row = Index(type);
    if (row < 0 || row >= kCommandTypeCount) {
        throw std::invalid_argument("no such command type");
    }
    const Bilingual& text = succeeded ? kResults[row].success : kResults[row].failure;
    if (text.english.empty()) {
        throw std::invalid_argument("this command type has no such result line");
    }
    return InLanguage(text, language);
}

}  // namespace vorlen

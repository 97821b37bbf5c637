// What the operator is told of the journal: a tracker whose row it does not
// hold, and a journal that has stopped taking rows or keeps them waiting.
#pragma once

#include "model/bilingual.h"

namespace vorlen::fleet::text {

inline constexpr Bilingual kDoneNotRecorded{
    "{port}: configured and verified, but not recorded: {detail}",
    "{port}: 已设置并核对, 但没有记录: {detail}"};
inline constexpr Bilingual kUnchangedNotRecorded{
    "{port}: the tracker already holds the profile, but not recorded: {detail}",
    "{port}: 追踪器已保存该配置, 但没有记录: {detail}"};
inline constexpr Bilingual kAlsoNotRecorded{"; not recorded: {detail}", "; 没有记录: {detail}"};
inline constexpr Bilingual kJournalWaiting{
    "journal: {count} rows wait for the server: {detail}",
    "日志: {count}条记录等待服务器: {detail}"};
inline constexpr Bilingual kJournalStopped{
    "journal: takes no rows, so no new tracker is taken: {detail}",
    "日志: 无法记录, 不再接收新的追踪器: {detail}"};
inline constexpr Bilingual kJournalCaughtUp{"journal: every waiting row is sent",
                                           "日志: 等待的记录已全部发送"};
inline constexpr Bilingual kSlotJournalStopped{
    "not taking the tracker: the journal takes no rows",
    "不接收追踪器: 日志无法记录"};

}  // namespace vorlen::fleet::text

#pragma once

// Texts the search controller shows in boxes and in the message panel.
namespace lt::msg {

inline constexpr const char* kNoListChosen = "您还没有选择网址列表文件！";
inline constexpr const char* kNotConnected = "您还没有连接到网上！";
inline constexpr const char* kNoSavedSearch = "您还没有搜索或上次搜索没有保存！";
inline constexpr const char* kListMissing = "网址列表文件不存在！";
inline constexpr const char* kProgressSaved = "已经保存当前搜索进程！";
inline constexpr const char* kCleaning = "清空IE数据...";
inline constexpr const char* kSearching = "正在搜索...";
inline constexpr const char* kStartingContinue = "开始搜索...";
inline constexpr const char* kContinuing = "继续搜索...";
inline constexpr const char* kContinueCancelled = "取消继续搜索...";
inline constexpr const char* kListUsedUp = "网址列表搜索完毕...";
inline constexpr const char* kStopping = "终止搜索...";
inline constexpr const char* kFinished = "搜索已经结束!";
inline constexpr const char* kBreakpointCaption = "继续搜索提示";
inline constexpr const char* kBreakpointPrompt = "请输入您上次搜索断点位置        ";

} // namespace lt::msg

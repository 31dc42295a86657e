// What the installation run says, in one place.
#pragma once

namespace install::text {

constexpr const char kEstimating[] = "估计剩余时间...";
constexpr const char kGettingFileInfo[] = "正在获取文件信息...";
constexpr const char kCopyingTo[] = "正在拷贝至 ";  // the short path and a space follow
constexpr const char kOverwriteBefore[] = "文件 ";  // the full path follows
constexpr const char kOverwriteAfter[] = " 已存在,要覆盖吗?";
constexpr const char kOverwrite[] = "覆盖";
constexpr const char kCancel[] = "取消";
constexpr const char kUninstallerFailed[] = "创建 unwise.exe 失败!";
constexpr const char kAssociating[] = "正在创建文件类型关联...";
constexpr const char kDone[] = "安装完成";
constexpr const char kDoneMissingBefore[] = "安装完成,但有 ";  // the count follows
constexpr const char kDoneMissingAfter[] = " 个文件未能安装.";
constexpr const char kNoTimeLeft[] = "估计剩余时间0秒.";

// The finish: the log cannot be made at all, or not written whole (a full disk: the earlier log
// stays as it was), or the list of written files not.
constexpr const char kLogCreateFailed[] = "创建 setup.log 文件失败!";
constexpr const char kLogWriteFailed[] = "写入 setup.log 文件失败!";
constexpr const char kListWriteFailed[] = "写入 setup.lst 文件失败!";

// The failure question: what happened, the path, the system's reason, and three answers.
constexpr const char kCannotCreate[] = "无法创建文件:";
constexpr const char kCannotWrite[] = "写入文件失败:";
constexpr const char kCannotReplace[] = "无法替换文件(可能正被其他程序使用):";
constexpr const char kDamagedData[] = "安装包中此文件的数据已损坏:";
constexpr const char kCannotRead[] = "无法读取安装包中此文件的数据:";
constexpr const char kPathTooLong[] = "文件路径太长:";
constexpr const char kReason[] = "原因: ";
constexpr const char kRetry[] = "重试";
constexpr const char kSkip[] = "跳过";
constexpr const char kStop[] = "停止";

}  // namespace install::text

// Everything setup.exe can say on its own, in one place (GBK in memory). The dialogs' labels
// are in setup.rc; the pages' other texts come from the package.
#pragma once

namespace text {

// -- start-up ---------------------------------------------------------------------------------
constexpr const char kInitFailed[] = "初始化数据失败!";
// The package's checksum does not match its bytes: a download cut short or changed on the way.
constexpr const char kPackageCorrupt[] = "安装程序已损坏,可能是下载不完整.请重新下载.";
// The sheet's caption until the welcome page puts the application's name there.
constexpr const char kSheetCaption[] = "setup";

// The options of an unattended run, shown for /? and after an option that is not ours.
constexpr const char kUnknownOption[] = "无法识别的选项: ";
constexpr const char kUsage[] =
    "用法: setup.exe [/S] [/LOG=报告文件] [/D=安装目录]\n\n"
    "/S\t不显示任何窗口, 按默认选择安装\n"
    "/LOG=文件\t把安装的每一步写入该文件 (UTF-8 文本)\n"
    "/D=目录\t安装到该目录; 必须是最后一个选项, 可以含空格\n"
    "/?\t显示本说明\n\n"
    "退出代码: 0 安装完成, 1 已取消, 2 命令行有误, 3 安装包已损坏,\n"
    "4 有文件未能安装, 5 安装目录不可用";

// -- the wizard -------------------------------------------------------------------------------
constexpr const char kContinueSetup[] = "继续安装";
constexpr const char kQuitSetup[] = "退出安装";
constexpr const char kCancelNotStarted[] = "安装程序尚未进行,您真得要取消安装吗?";
constexpr const char kCancelAboutToStart[] = "安装即将开始,您真得要取消安装吗?";
constexpr const char kCancelInProgress[] = "安装程序正在进行,您真得要取消安装吗?";
constexpr const char kCancelAboutToFinish[] = "安装即将完成,您真得要取消安装吗?";

constexpr const char kNextButton[] = "下一步";
constexpr const char kInstallButton[] = "安装";

// A text longer than its field allows: before and after the number of characters.
constexpr const char kTooLongBefore[] = "请输入不超过 ";
constexpr const char kTooLongAfter[] = " 个字符。";

// -- the install folder -----------------------------------------------------------------------
constexpr const char kChooseFolderPrompt[] = "请选择安装目录";
constexpr const char kInvalidDrive[] = "无效的驱动器";
constexpr const char kFloppyDrive[] = "软盘驱动器";
constexpr const char kNetworkDrive[] = "网络驱动器";
constexpr const char kInvalidFolder[] = "无效的文件夹";
// A destination that cannot be made or written to: a file of that name is in the way, or the
// user may not write there.
constexpr const char kCannotUseFolder[] = "无法在该文件夹中创建文件,请选择其他文件夹.";
// The folder holds another application's uninstaller: before and after its name.
constexpr const char kOtherApplicationBefore[] = "该文件夹中已安装了其他程序(";
constexpr const char kOtherApplicationAfter[] = "),请选择其他文件夹.";

// -- the copy ---------------------------------------------------------------------------------
constexpr const char kEstimating[] = "估计剩余时间...";
constexpr const char kGettingFileInfo[] = "正在获取文件信息...";
constexpr const char kCopyingTo[] = "正在拷贝至 ";  // the short path and a space follow
constexpr const char kOverwriteBefore[] = "文件 ";  // the full path follows
constexpr const char kOverwriteAfter[] = " 已存在,要覆盖吗?";
constexpr const char kOverwrite[] = "覆盖";
constexpr const char kCancel[] = "取消";
// The time left: "估计剩余时间" with hours, minutes and seconds, each after its number.
constexpr const char kTimeLeft[] = "估计剩余时间";
constexpr const char kHours[] = "小时";
constexpr const char kMinutes[] = "分";
constexpr const char kSecondsEnd[] = "秒.";
constexpr const char kNoTimeLeft[] = "估计剩余时间0秒.";

// The failure question: what happened, the path, the system's reason; its answers are the
// dialog's buttons.
constexpr const char kCannotCreate[] = "无法创建文件:";
constexpr const char kCannotWrite[] = "写入文件失败:";
constexpr const char kCannotReplace[] = "无法替换文件(可能正被其他程序使用):";
constexpr const char kDamagedData[] = "安装包中此文件的数据已损坏:";
constexpr const char kCannotRead[] = "无法读取安装包中此文件的数据:";
constexpr const char kPathTooLong[] = "文件路径太长:";
constexpr const char kReason[] = "原因: ";

// -- the finish -------------------------------------------------------------------------------
constexpr const char kUninstallerFailed[] = "创建 unwise.exe 失败!";
constexpr const char kAssociating[] = "正在创建文件类型关联...";
constexpr const char kDone[] = "安装完成";
constexpr const char kDoneMissingBefore[] = "安装完成,但有 ";  // the count follows
constexpr const char kDoneMissingAfter[] = " 个文件未能安装.";
// The log cannot be made at all, or not written whole (a full disk: the earlier log stays as it
// was), or the list of written files not.
constexpr const char kLogCreateFailed[] = "创建 setup.log 文件失败!";
constexpr const char kLogWriteFailed[] = "写入 setup.log 文件失败!";
constexpr const char kListWriteFailed[] = "写入 setup.lst 文件失败!";
constexpr const char kUninstallEntryFailed[] = "无法在\"程序和功能\"中添加本程序的卸载项.";

}  // namespace text

// Everything the wizard can ever say on its own (GBK in memory). The pages' other texts come
// from the package.
#pragma once

namespace ui::text {

constexpr const char kInitFailed[] = "初始化数据失败!";
// The package's checksum does not match its bytes: a download cut short or changed on the way.
constexpr const char kPackageCorrupt[] = "安装程序已损坏,可能是下载不完整.请重新下载.";

constexpr const char kContinueSetup[] = "继续安装";
constexpr const char kQuitSetup[] = "退出安装";
constexpr const char kCancelNotStarted[] = "安装程序尚未进行,您真得要取消安装吗?";
constexpr const char kCancelAboutToStart[] = "安装即将开始,您真得要取消安装吗?";
constexpr const char kCancelInProgress[] = "安装程序正在进行,您真得要取消安装吗?";
constexpr const char kCancelAboutToFinish[] = "安装即将完成,您真得要取消安装吗?";

constexpr const char kNextButton[] = "下一步";
constexpr const char kInstallButton[] = "安装";

constexpr const char kChooseFolderPrompt[] = "请选择安装目录";
constexpr const char kInvalidDrive[] = "无效的驱动器";
constexpr const char kFloppyDrive[] = "软盘驱动器";
constexpr const char kNetworkDrive[] = "网络驱动器";
constexpr const char kInvalidFolder[] = "无效的文件夹";
// A destination that cannot be made or written to: a file of that name is in the way, or the
// user may not write there.
constexpr const char kCannotUseFolder[] = "无法在该文件夹中创建文件,请选择其他文件夹.";

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

// The sheet's caption until the welcome page puts the application's name there.
constexpr const char kSheetCaption[] = "setup";

}  // namespace ui::text

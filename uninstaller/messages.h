// Everything the uninstaller can say on its own (GBK in memory). The rest comes from the block
// the installer appended: the application's name and the four uninstaller texts, each of which
// stands in for the default below when the publisher left it empty.
#pragma once

namespace unwise::text {

constexpr const char kInitFailed[] = "初始化数据失败!";
// The options, for /? and after an option that is not ours.
constexpr const char kUsage[] =
    "用法: unwise.exe [/S]\n\n/S\t不显示任何窗口, 直接卸载\n/?\t显示本说明\n\n"
    "退出代码: 0 卸载完成, 1 已取消, 2 命令行有误, 3 安装记录已损坏, 4 有项目未能删除";

// The four uninstaller texts ([uninstaller] texts of the manifest), by index:
// 0: the message at the end when something stayed;
constexpr const char kSomethingStayed[] =
    "有些项目未能删除.请关闭正在使用它们的程序,然后再次运行卸载程序.";
// 1: the heading while the files are removed;
constexpr const char kRemoving[] = "正在卸载,请稍候...";
// 2: the confirmation question;
constexpr const char kRemoveQuestion[] = "确实要卸载此程序吗?";
// 3: the message at the end when everything went.
constexpr const char kRemoved[] = "卸载完成.";

// What stops the uninstaller before it asks anything; it removes nothing then.
constexpr const char kLogMissing[] = "找不到安装记录 setup.log,无法卸载.";
constexpr const char kLogDamaged[] = "安装记录 setup.log 已损坏,无法卸载.";
constexpr const char kListDamaged[] = "已安装文件列表 setup.lst 已损坏,无法卸载.";
constexpr const char kFolderRefused[] =
    "卸载程序所在的文件夹是驱动器的根目录或系统文件夹,不能卸载.";

// The summary at the end: what stayed, and why.
constexpr const char kFailedHeading[] = "以下项目未能删除:";
constexpr const char kSharedHeading[] =
    "以下文件位于 Windows 文件夹或系统文件夹中,可能为其他程序共用,没有删除:";
constexpr const char kRefusedHeading[] = "以下项目不是本程序在安装文件夹中创建的,没有删除:";
constexpr const char kNotEmptyHeading[] = "以下文件夹中还有其他文件,没有删除:";
constexpr const char kUnlistedHeading[] = "setup.lst 已丢失,以下文件可能是原有的,没有删除:";
constexpr const char kUnloadedHeading[] = "以下控件安装后已被更改,未加载即已删除:";
constexpr const char kOtherApplicationHeading[] = "此文件夹中还安装了以下程序,没有删除任何文件:";
constexpr const char kReason[] = "原因: ";
constexpr const char kMore[] = "其余项目: ";      // the count follows
constexpr const char kFileType[] = "文件类型 .";  // the extension follows
constexpr const char kUninstallEntry[] = "\"程序和功能\"中的卸载项";

// Why an item was not taken (see Verdict in removal.h).
constexpr const char kOutside[] = "不在安装文件夹中";
constexpr const char kNotPlain[] = "不是有效的完整路径或名称";
constexpr const char kNotAFile[] = "是文件夹或链接,不是文件";
constexpr const char kNotOurLink[] = "不是桌面,开始菜单或程序组中的快捷方式";
constexpr const char kLinkTarget[] = "快捷方式的目标不在安装文件夹中";

}  // namespace unwise::text

// Everything the uninstaller can say on its own (GBK in memory). The rest comes from the block
// the installer appended.
#pragma once

namespace unwise::text {

constexpr const char kInitFailed[] = "初始化数据失败!";

// The question when the installer passed none on.
constexpr const char kRemoveQuestion[] = "确实要卸载此程序吗?";

}  // namespace unwise::text

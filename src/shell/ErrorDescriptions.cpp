// Descriptions of the run-time failure codes shown in the error log, in the
// usual Simplified Chinese wording; the same texts serve every language.
#include <QHash>

#include "shell/ErrorLog.h"

namespace zr {
namespace {

struct Description {
  int code;
  const char* text;
};

// TODO(helper): complete all 118 keys.
constexpr Description kDescriptions[] = {
    {5, "无效的过程调用"},
    {6, "溢出"},
    {7, "内存不足"},
    {9, "数组索引超出范围"},
    {11, "除以零"},
    {13, "类型不符合"},
    {52, "错误的文件名或数目"},
    {53, "文件找不到"},
    {54, "错误的文件方式"},
    {55, "文件已打开"},
    {57, "I/O设备错误"},
    {58, "文件已经存在"},
    {61, "磁盘已满"},
    {62, "输入已超过文件结尾"},
    {70, "没有访问权限"},
    {71, "磁盘尚未就绪"},
    {75, "路径/文件访问错误"},
    {76, "找不到路径"},
    {482, "打印机错误"},
    {31036, "存储到文件时出错"},
    {31037, "从文件读出时出错"},
};

}  // namespace

QString VbErrNumDes(int code) {
  static const QHash<int, QString> table = [] {
    QHash<int, QString> t;
    for (const auto& d : kDescriptions) t.insert(d.code, QString::fromUtf8(d.text));
    return t;
  }();
  return table.value(code);
}

const std::vector<int>& VbErrCodes() {
  static const std::vector<int> codes = [] {
    std::vector<int> c;
    for (const auto& d : kDescriptions) c.push_back(d.code);
    return c;
  }();
  return codes;
}

}  // namespace zr

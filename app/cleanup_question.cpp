#include "cleanup_question.h"

#include "safety_guard.h"

namespace {

void AppendListed(std::string& listing, const std::string& entry) {
    listing += (listing.empty() ? "" : ", ") + entry;
}

}  // namespace

std::string CleanupQuestion(const std::string& program, const std::vector<ListToClean>& lists,
                            const StringList& processes) {
    std::string counts;
    int passed_over = 0;
    for (const ListToClean& list : lists) {
        int removed = 0;
        for (const std::string& item : *list.items) {
            if (SafetyGuard::IsMarked(item))
                ++passed_over;
            else
                ++removed;
        }
        if (removed > 0) AppendListed(counts, list.caption + (" " + std::to_string(removed)) + " 项");
    }
    if (counts.empty()) return "";
    std::string ended;
    for (const std::string& name : processes)
        if (!SafetyGuard::IsMarked(name)) AppendListed(ended, name);

    std::string question = program.empty() ? "即将清除以下项目:\n" : "即将清除 \"" + program + "\" 的以下项目:\n";
    question += counts + ".\n";
    if (!ended.empty()) question += "将结束以下进程: " + ended + "\n";
    if (passed_over > 0) question += "另有 " + std::to_string(passed_over) + " 项带有 <原因> 标注, 清除时将跳过.\n";
    return question + "是否确定执行清除操作?";
}

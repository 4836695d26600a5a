#include "command.h"
#include <algorithm>

namespace dd::cli {

namespace {

std::vector<Command> &registered()
{
    static std::vector<Command> list;
    return list;
}

}  // namespace

CommandRegistration::CommandRegistration(Command command)
{
    auto &list = registered();
    list.push_back(std::move(command));
    std::stable_sort(list.begin(), list.end(), [](const Command &a, const Command &b) {
        return a.order != b.order ? a.order < b.order : a.name < b.name;
    });
}

const std::vector<Command> &commands() { return registered(); }

const Command *findCommand(const QString &name)
{
    for (const Command &c : registered())
        if (c.name == name)
            return &c;
    return nullptr;
}

}  // namespace dd::cli

#include "join_path.h"
#include <QHash>
#include <algorithm>
#include <limits>

namespace dd::relations {

namespace {

constexpr double kInfinite = std::numeric_limits<double>::infinity();

double linkCost(const Link &link)
{
    if (link.evidence & DeclaredKey)
        return 1.0;
    return link.confidence == Confidence::High ? 1.2 : 3.0;
}

struct Path {
    double cost = kInfinite;
    std::vector<int> tables;   // from the tree outwards, the tree's table excluded
    std::vector<int> links;
};

// The cheapest path of at most kMaxJoins links from any table in the tree to target.
Path cheapestPath(const Relations &r, const std::vector<char> &inTree, const std::vector<int> &tree, int target)
{
    struct Label {
        double cost;
        int previous;   // table
        int link;
    };
    // One map per hop count, small: only tables within reach are stored.
    std::vector<std::vector<std::pair<int, Label>>> hops(kMaxJoins + 1);
    for (int t : tree)
        hops[0].push_back({t, {0.0, -1, -1}});
    Path best;
    for (int h = 1; h <= kMaxJoins; ++h) {
        QHash<int, Label> next;
        for (const auto &[table, label] : hops[size_t(h - 1)]) {
            if (table == target)
                continue;
            for (int li : r.linksOf(table)) {
                const Link &link = r.links()[size_t(li)];
                if (link.confidence == Confidence::Low)
                    continue;
                const int other = link.child == table ? link.parent : link.child;
                if (inTree[size_t(other)])
                    continue;
                double cost = label.cost + linkCost(link);
                if (other != target)
                    cost += r.holdsRows(other) ? 0.0 : 2.0;
                auto it = next.find(other);
                if (it == next.end() || cost < it->cost)
                    next.insert(other, {cost, table, li});
            }
        }
        for (auto it = next.cbegin(); it != next.cend(); ++it)
            hops[size_t(h)].push_back({it.key(), it.value()});
        const auto found = next.constFind(target);
        if (found != next.cend() && found->cost < best.cost) {
            // Walk back through the hops.
            Path path;
            path.cost = found->cost;
            int table = target;
            Label label = *found;
            for (int back = h; back >= 1; --back) {
                path.tables.push_back(table);
                path.links.push_back(label.link);
                table = label.previous;
                if (back > 1) {
                    for (const auto &[t, l] : hops[size_t(back - 1)])
                        if (t == table) {
                            label = l;
                            break;
                        }
                }
            }
            std::reverse(path.tables.begin(), path.tables.end());
            std::reverse(path.links.begin(), path.links.end());
            best = path;
        }
    }
    return best;
}

}  // namespace

JoinPlan planJoin(const Relations &relations, const std::vector<int> &chosenTables)
{
    JoinPlan plan;
    std::vector<int> chosen;
    for (int t : chosenTables)
        if (t >= 0 && size_t(t) < relations.dictionary().tables.size()
            && std::find(chosen.begin(), chosen.end(), t) == chosen.end())
            chosen.push_back(t);
    if (chosen.empty())
        return plan;
    std::vector<char> inTree(relations.dictionary().tables.size(), 0);
    std::vector<int> tree{chosen.front()};
    inTree[size_t(chosen.front())] = 1;
    plan.steps.push_back({chosen.front(), -1, true});
    std::vector<int> waiting(chosen.begin() + 1, chosen.end());
    while (!waiting.empty()) {
        Path best;
        for (int target : waiting) {
            Path p = cheapestPath(relations, inTree, tree, target);
            if (p.cost < best.cost)
                best = std::move(p);
        }
        if (best.cost == kInfinite)
            break;
        for (size_t i = 0; i < best.tables.size(); ++i) {
            const int t = best.tables[i];
            const bool isChosen = std::find(chosen.begin(), chosen.end(), t) != chosen.end();
            plan.steps.push_back({t, best.links[i], isChosen});
            inTree[size_t(t)] = 1;
            tree.push_back(t);
            // A chosen table met on the way is joined already.
            waiting.erase(std::remove(waiting.begin(), waiting.end(), t), waiting.end());
        }
    }
    plan.unreachable = waiting;
    return plan;
}

}  // namespace dd::relations

#include "join_path.h"
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

// Two tables that both refer to a third are not joined through it: that
// pairs every row of one with every row of the other sharing the value (a
// voucher's department with a customer's). A path that has gone from a
// table up to one it refers to pays this for coming down again.
constexpr double kSharedParentCost = 3.0;
constexpr double kEmptyTableCost = 2.0;

// The cheapest ways out of the joined tables, one layer per number of
// joins. A state is a table and whether the path has gone up yet (from a
// table to one it refers to). Layers are flat arrays over every state,
// reset through the list of states they touched.
class Layers {
public:
    Layers(const Relations &r, const std::vector<char> &inTree, const std::vector<char> &waiting)
        : r_(r), inTree_(inTree), waiting_(waiting)
    {
        const size_t states = r.dictionary().tables.size() * 2;
        for (Layer &layer : layers_) {
            layer.cost.assign(states, kInfinite);
            layer.previous.assign(states, -1);
            layer.link.assign(states, -1);
        }
    }

    // Layers 0 to kMaxJoins - 1 from the tree; the last layer is looked at
    // per target (target()).
    void spread(const std::vector<int> &tree)
    {
        for (Layer &layer : layers_)
            layer.reset();
        for (int t : tree)
            layers_[0].reach(state(t, false), 0.0, -1, -1);
        for (int h = 1; h < kMaxJoins; ++h)
            for (int from : layers_[h - 1].touched) {
                // A chosen table still waiting is joined by itself, not passed through.
                if (h > 1 && waiting_[size_t(from / 2)])
                    continue;
                for (int li : r_.linksOf(from / 2))
                    step(layers_[h - 1], from, li, layers_[h], -1);
            }
    }

    // The cheapest path to target: arriving in any layer, the last one
    // looked at from the target's own links rather than from every state.
    Path pathTo(int target)
    {
        Layer &last = layers_[kMaxJoins];
        last.reset();
        for (int li : r_.linksOf(target)) {
            const Link &link = r_.links()[size_t(li)];
            const int other = link.child == target ? link.parent : link.child;
            for (bool up : {false, true}) {
                const int from = state(other, up);
                if (layers_[kMaxJoins - 1].cost[size_t(from)] < kInfinite && !(waiting_[size_t(other)] && kMaxJoins > 2))
                    step(layers_[kMaxJoins - 1], from, li, last, target);
            }
        }
        Path best;
        int bestLayer = -1, bestState = -1;
        for (int h = 1; h <= kMaxJoins; ++h)
            for (bool up : {false, true}) {
                const double c = layers_[h].cost[size_t(state(target, up))];
                if (c < best.cost) {
                    best.cost = c;
                    bestLayer = h;
                    bestState = state(target, up);
                }
            }
        for (int h = bestLayer, key = bestState; h >= 1; --h) {
            best.tables.push_back(key / 2);
            best.links.push_back(layers_[h].link[size_t(key)]);
            key = layers_[h].previous[size_t(key)];
        }
        std::reverse(best.tables.begin(), best.tables.end());
        std::reverse(best.links.begin(), best.links.end());
        return best;
    }

private:
    struct Layer {
        std::vector<double> cost;
        std::vector<int> previous, link, touched;
        void reach(int key, double c, int from, int li)
        {
            if (cost[size_t(key)] == kInfinite)
                touched.push_back(key);
            cost[size_t(key)] = c;
            previous[size_t(key)] = from;
            link[size_t(key)] = li;
        }
        void reset()
        {
            for (int key : touched)
                cost[size_t(key)] = kInfinite;
            touched.clear();
        }
    };

    static int state(int table, bool up) { return table * 2 + (up ? 1 : 0); }

    // One join from a state along a link; `only` >= 0 keeps arrivals at that table alone.
    void step(const Layer &from, int key, int li, Layer &to, int only)
    {
        const Link &link = r_.links()[size_t(li)];
        if (link.confidence == Confidence::Low)
            return;
        const int table = key / 2;
        const bool wentUp = key % 2;
        const bool up = link.child == table;
        const int other = up ? link.parent : link.child;
        if (inTree_[size_t(other)] || (only >= 0 && other != only))
            return;
        double cost = from.cost[size_t(key)] + linkCost(link);
        if (!up && wentUp)
            cost += kSharedParentCost;
        if (!waiting_[size_t(other)] && !r_.holdsRows(other))
            cost += kEmptyTableCost;
        const int next = state(other, wentUp || up);
        if (cost < to.cost[size_t(next)])
            to.reach(next, cost, key, li);
    }

    const Relations &r_;
    const std::vector<char> &inTree_;
    const std::vector<char> &waiting_;
    Layer layers_[kMaxJoins + 1];
};

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
    const size_t tables = relations.dictionary().tables.size();
    std::vector<char> inTree(tables, 0), isWaiting(tables, 0);
    std::vector<int> tree{chosen.front()};
    inTree[size_t(chosen.front())] = 1;
    plan.steps.push_back({chosen.front(), -1, true});
    std::vector<int> waiting(chosen.begin() + 1, chosen.end());
    for (int t : waiting)
        isWaiting[size_t(t)] = 1;
    Layers layers(relations, inTree, isWaiting);
    while (!waiting.empty()) {
        layers.spread(tree);
        Path best;
        for (int target : waiting) {
            Path p = layers.pathTo(target);
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
            isWaiting[size_t(t)] = 0;
            tree.push_back(t);
            waiting.erase(std::remove(waiting.begin(), waiting.end(), t), waiting.end());
        }
    }
    plan.unreachable = waiting;
    return plan;
}

}  // namespace dd::relations

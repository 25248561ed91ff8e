// Lwo2Crossings.cpp - a sweep across the outline's edges that stops at the first crossing.
// The edges the sweep line meets are kept in order along it; two edges that cross are
// neighbours in that order just before the first crossing, so only neighbours are compared.
#include "Lwo2Crossings.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <set>
#include <vector>

namespace bm {

namespace {

struct Flat {
    double s, t;
};

bool operator==(Flat a, Flat b) {
    return a.s == b.s && a.t == b.t;
}

// The order the sweep meets points in: by s, then by t.
bool sweptBefore(Flat a, Flat b) {
    return a.s < b.s || (a.s == b.s && a.t < b.t);
}

// Which side of the line from a to b c lies on: 1 to its left, -1 to its right, 0 on it. Exact
// for coordinates read from floats of like magnitudes, whose differences and their products a
// double holds whole.
int side(Flat a, Flat b, Flat c) {
    const double area = (b.s - a.s) * (c.t - a.t) - (b.t - a.t) * (c.s - a.s);
    return (area > 0) - (area < 0);
}

struct Edge {
    Flat first, last;     // its ends in the sweep's order
    std::uint32_t index;  // its place in the outline
    bool upright;         // first and last share s: the sweep meets it all at once
};

bool cross(const Edge& a, const Edge& b) {
    return side(a.first, a.last, b.first) * side(a.first, a.last, b.last) < 0 &&
           side(b.first, b.last, a.first) * side(b.first, b.last, a.last) < 0;
}

// Whether the edge that a, met later than b, lies below b along the sweep line where a begins.
// While no two edges have crossed this order is the same wherever it is asked.
bool belowWhereItBegins(const Edge& a, const Edge& b) {
    // Where a begins, on b or off it: every point an upright b shares with the sweep is on b.
    int where = b.upright ? 0 : side(b.first, b.last, a.first);
    if (where == 0) {
        // Begun on b: the way a leaves b decides. An upright edge leaves upwards, above all.
        if (a.upright || b.upright)
            where = a.upright == b.upright ? 0 : (a.upright ? 1 : -1);
        else
            where = side(b.first, b.last, a.last);
    }
    return where != 0 ? where < 0 : a.index < b.index;  // one line: either order holds
}

// Orders the edges along the sweep line, counting its comparisons.
struct AlongSweep {
    const std::vector<Edge>* edges;
    std::size_t* steps;

    bool operator()(std::uint32_t i, std::uint32_t j) const {
        ++*steps;
        const Edge& a = (*edges)[i];
        const Edge& b = (*edges)[j];
        if (i == j)
            return false;
        const bool aLater =
            sweptBefore(b.first, a.first) || (a.first == b.first && a.index > b.index);
        return aLater ? belowWhereItBegins(a, b) : !belowWhereItBegins(b, a);
    }
};

struct Event {
    Flat at;
    std::uint32_t edge;
    bool ends;
};

// Events at one point: edges that end there leave the sweep before those that begin there join.
bool eventBefore(const Event& a, const Event& b) {
    if (!(a.at == b.at))
        return sweptBefore(a.at, b.at);
    if (a.ends != b.ends)
        return a.ends;
    return a.edge < b.edge;
}

// The axis the tessellator looks along: the normal's longest, the first of equals.
int lookingAxis(Vec3 normal) {
    const double size[3] = {std::fabs(normal.x), std::fabs(normal.y), std::fabs(normal.z)};
    int axis = size[1] > size[0] ? 1 : 0;
    return size[2] > size[axis] ? 2 : axis;
}

Flat flatten(Vec3 p, int axis) {
    const double c[3] = {p.x, p.y, p.z};
    return Flat{c[(axis + 1) % 3], c[(axis + 2) % 3]};
}

}  // namespace

bool outlineCrossesItself(const Vec3* place, std::size_t count, Vec3 normal, std::size_t& steps) {
    const int axis = lookingAxis(normal);
    std::vector<Edge> edges;
    edges.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const Flat p = flatten(place[i], axis),
                   q = flatten(place[i + 1 == count ? 0 : i + 1], axis);
        if (!std::isfinite(p.s) || !std::isfinite(p.t))
            return true;
        if (p == q)
            continue;  // no length: it crosses nothing
        const bool forward = sweptBefore(p, q);
        edges.push_back(
            Edge{forward ? p : q, forward ? q : p, static_cast<std::uint32_t>(i), p.s == q.s});
    }
    std::vector<Event> events;
    events.reserve(2 * edges.size());
    for (std::uint32_t e = 0; e < edges.size(); ++e) {
        events.push_back(Event{edges[e].first, e, false});
        events.push_back(Event{edges[e].last, e, true});
    }
    std::sort(events.begin(), events.end(), eventBefore);
    steps += events.size();

    std::set<std::uint32_t, AlongSweep> sweep(AlongSweep{&edges, &steps});
    std::vector<std::set<std::uint32_t, AlongSweep>::iterator> where(edges.size(), sweep.end());
    const auto crossing = [&](auto a, auto b) {
        ++steps;
        return cross(edges[*a], edges[*b]);
    };
    for (const Event& event : events) {
        if (!event.ends) {
            const auto at = sweep.insert(event.edge).first;
            where[event.edge] = at;
            if (at != sweep.begin() && crossing(std::prev(at), at))
                return true;
            if (std::next(at) != sweep.end() && crossing(at, std::next(at)))
                return true;
            continue;
        }
        const auto at = where[event.edge];
        const bool between = at != sweep.begin() && std::next(at) != sweep.end();
        if (between && crossing(std::prev(at), std::next(at)))
            return true;
        sweep.erase(at);
    }
    return false;
}

}  // namespace bm

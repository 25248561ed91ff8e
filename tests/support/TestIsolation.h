// TestIsolation.h - puts the engine's globals, its registries and GL state back after each test.
#pragma once

#include <gtest/gtest.h>

namespace bm::test {

// Every test of the binary runs in one process when it is run directly, after whatever the tests
// before it left: cameras counted, entity IDs handed out, records registered, lights added, a
// projection multiplied. This listener takes a snapshot as each test starts and puts it back as
// the test ends, so that a test sees what it would see alone in a fresh process, in any order:
// - the engine's globals and the engine object (its camera and lights among them);
// - the texture registry, the names a test added deleted while the window's context is current;
// - the entity registry: records the test changed get their contents and order back, records
//   it added stay (the registry keeps one per ID for good) but are hidden;
// - GL's attributes, client attributes, its three matrices and the matrix mode, and no error
//   left pending, whenever the window's context is current.
// The window itself stays open: it is the one thing the tests share on purpose.
class EngineStateGuard : public testing::EmptyTestEventListener {
public:
    void OnTestStart(const testing::TestInfo& test) override;
    void OnTestEnd(const testing::TestInfo& test) override;
};

}  // namespace bm::test

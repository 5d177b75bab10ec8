#pragma once

#include <gtest/gtest.h>

#include <ostream>

namespace vesk::data_access::testing {

// The engine a test runs on.
enum class Engine { Embedded, Server };

// Names the engine in test names ("Server/Suite.Test/Server").
inline void PrintTo(Engine engine, std::ostream* out) {
    *out << (engine == Engine::Server ? "Server" : "Embedded");
}

// Runs the TEST_P tests of `suite` once on each engine. The server runs are named Server/...,
// which is how the test run knows to give them the cluster.
#define VESK_ON_EACH_ENGINE(suite)                                                               \
    INSTANTIATE_TEST_SUITE_P(Embedded, suite,                                                    \
                             ::testing::Values(::vesk::data_access::testing::Engine::Embedded)); \
    INSTANTIATE_TEST_SUITE_P(Server, suite,                                                      \
                             ::testing::Values(::vesk::data_access::testing::Engine::Server))

}  // namespace vesk::data_access::testing

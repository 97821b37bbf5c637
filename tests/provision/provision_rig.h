// Runs vorlen-provision (see provision_tool.h) against simulated trackers on
// pseudo-terminals, with a profile in a folder of the test's own.
#pragma once

#include <filesystem>
#include <memory>
#include <fstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "model/bilingual.h"
#include "model/gbk.h"
#include "profile/profile_file.h"
#include "provision/run.h"
#include "sim/fleet_profile.h"
#include "sim/postgres_server.h"
#include "provision_tool.h"
#include "sim/sim_process.h"

namespace vorlen::test {

class ProvisionTest : public ::testing::Test {
protected:
    void SetUp() override {
        tool_ = ToolFromEnvironment();
        char pattern[] = "/tmp/vorlen-provision-XXXXXX";
        ASSERT_NE(::mkdtemp(pattern), nullptr);
        folder_ = pattern;
        // The journal's default file lands in the test's folder, not the user's.
        ::setenv("XDG_DATA_HOME", pattern, 1);
        profile_ = Path("fleet.toml");
        ASSERT_TRUE(SaveProfileFile(profile_, FleetProfile().form, FleetProfile().selections));
    }
    void TearDown() override { std::filesystem::remove_all(folder_); }

    std::string Path(const std::string& name) const { return (folder_ / name).string(); }

    ToolRun RunTool(const std::vector<std::string>& arguments, bool terminal = false) {
        return tool_->Run(arguments, terminal);
    }
    std::string PortOf(const SimProcess& tracker) { return tool_->PortOf(tracker); }

    // A server the tool reaches: over TCP for the Windows program.
    PostgresServer::Reach ServerReach() const {
        return tool_->DatabaseOverTcp() ? PostgresServer::Reach::SocketAndTcp
                                        : PostgresServer::Reach::Socket;
    }

    // A file in the test's folder holding `text`.
    std::string FileWith(const std::string& name, const std::string& text) const {
        std::ofstream(Path(name)) << text;
        return Path(name);
    }

    nlohmann::json Report(const std::string& path) const {
        std::ifstream in(path);
        return nlohmann::json::parse(in);
    }

    std::unique_ptr<ProvisionTool> tool_;
    std::filesystem::path folder_;
    std::string profile_;
};

}  // namespace vorlen::test

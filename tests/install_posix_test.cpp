// The installed game's launcher: each player's own data folder, the link to
// the installed content in it, and an install that was moved. The game it
// starts meets the end of its input at the title and ends at once.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using test_support::ReadFile;
using test_support::TempDir;

struct Outcome {
  int exit_code = -1;
  std::string output;
};

class LauncherTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    install_ = std::make_unique<TempDir>();
    std::string log;
    installed_ = test_support::InstallInto(Prefix(), &log);
    install_log_ = log;
  }
  static void TearDownTestSuite() { install_.reset(); }

  void SetUp() override { ASSERT_TRUE(installed_) << install_log_; }

  static std::string Prefix() { return install_->path() + "/usr"; }
  static std::string Launcher() { return Prefix() + "/bin/ossivar"; }
  static fs::path Content() { return Prefix() + "/share/ossivar/Core Data.tov"; }

  // Runs `launcher` from / with HOME set to the test's home folder, after the
  // shell commands `setup` (each ending in "&&"), with the shell words `args`.
  Outcome Launch(const std::string& launcher = Launcher(), const std::string& setup = "",
                 const std::string& args = "") {
    const std::string out = scratch_.path() + "/launch.out";
    const std::string command = "cd / && unset XDG_DATA_HOME && export HOME='" + Home().string() + "' && " +
                                setup + " '" + launcher + "' " + args + " < /dev/null > '" + out + "' 2>&1";
    const int status = std::system(command.c_str());
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out)};
  }

  fs::path Home() const { return fs::path(scratch_.path()) / "home"; }
  fs::path Link() const { return Home() / ".local/share/ossivar/data/Core Data.tov"; }

  TempDir scratch_;

 private:
  static std::unique_ptr<TempDir> install_;
  static bool installed_;
  static std::string install_log_;
};

std::unique_ptr<TempDir> LauncherTest::install_;
bool LauncherTest::installed_ = false;
std::string LauncherTest::install_log_;

TEST_F(LauncherTest, InstallsTheGameTheLauncherAndTheContent) {
  EXPECT_TRUE(fs::is_regular_file(Prefix() + "/bin/ossivar-game"));
  EXPECT_TRUE(fs::is_regular_file(Prefix() + "/bin/ossivar-replay"));
  EXPECT_TRUE(fs::is_regular_file(Prefix() + "/share/man/man6/ossivar-replay.6"));
  EXPECT_TRUE(fs::is_regular_file(Launcher()));
  EXPECT_EQ(ReadFile(Content()), ReadFile(std::string(OSSIVAR_SOURCE_DIR) + "/data/Core Data.tov"));
  const std::string page = ReadFile(Prefix() + "/share/man/man6/ossivar.6");
  EXPECT_NE(page.find("\"OSSIVAR " OSSIVAR_PROJECT_VERSION "\""), std::string::npos) << page.substr(0, 80);
}

// Only --help and --version are taken; either answers without making the
// player's folder, and anything else is refused before the game starts.
TEST_F(LauncherTest, AnswersHelpAndVersionAndRefusesOtherArguments) {
  Outcome run = Launch(Launcher(), "", "--version");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output, "ossivar " OSSIVAR_PROJECT_VERSION "\n");
  run = Launch(Launcher(), "", "--help");
  EXPECT_EQ(run.exit_code, 0);
  EXPECT_EQ(run.output.rfind("usage: ossivar [--help | --version]\n", 0), 0u) << run.output;
  for (const char* args : {"--play", "--help --version", "save01"}) {
    run = Launch(Launcher(), "", args);
    EXPECT_EQ(run.exit_code, 2) << args;
    EXPECT_NE(run.output.find("usage: ossivar [--help | --version]\n"), std::string::npos) << run.output;
    EXPECT_EQ(run.output.find("[N]ew Game"), std::string::npos) << run.output;
  }
  EXPECT_FALSE(fs::exists(Home() / ".local"));
}

TEST_F(LauncherTest, FirstRunMakesThePlayersFolderWithALinkToTheContent) {
  const Outcome run = Launch();
  EXPECT_EQ(run.exit_code, 0) << run.output;
  EXPECT_NE(run.output.find("[N]ew Game"), std::string::npos) << run.output;
  ASSERT_TRUE(fs::is_symlink(Link()));
  EXPECT_EQ(fs::read_symlink(Link()), fs::canonical(Content()));
  // The next run finds it all in place.
  EXPECT_EQ(Launch().exit_code, 0);
  EXPECT_EQ(fs::read_symlink(Link()), fs::canonical(Content()));
}

TEST_F(LauncherTest, AnAbsoluteXdgDataHomeIsUsedAndARelativeOneIgnored) {
  const fs::path data_home = fs::path(scratch_.path()) / "xdg";
  EXPECT_EQ(Launch(Launcher(), "export XDG_DATA_HOME='" + data_home.string() + "' &&").exit_code, 0);
  EXPECT_TRUE(fs::is_symlink(data_home / "ossivar/data/Core Data.tov"));
  EXPECT_FALSE(fs::exists(Home() / ".local"));

  EXPECT_EQ(Launch(Launcher(), "export XDG_DATA_HOME=relative &&").exit_code, 0);
  EXPECT_TRUE(fs::is_symlink(Link()));
  EXPECT_FALSE(fs::exists("/relative"));
}

TEST_F(LauncherTest, AStaleLinkIsRefreshedButThePlayersOwnFileIsKept) {
  fs::create_directories(Link().parent_path());
  fs::create_symlink("/nowhere/Core Data.tov", Link());
  EXPECT_EQ(Launch().exit_code, 0);
  EXPECT_EQ(fs::read_symlink(Link()), fs::canonical(Content()));

  fs::remove(Link());
  std::ofstream(Link()) << "the player's own content";
  Launch();
  EXPECT_FALSE(fs::is_symlink(Link()));
  EXPECT_EQ(ReadFile(Link()), "the player's own content");
}

TEST_F(LauncherTest, AMovedInstallOrALinkToTheLauncherFindsItsOwnContent) {
  const fs::path moved = fs::path(scratch_.path()) / "moved";
  fs::copy(Prefix(), moved, fs::copy_options::recursive);
  EXPECT_EQ(Launch((moved / "bin/ossivar").string()).exit_code, 0);
  EXPECT_EQ(fs::read_symlink(Link()), fs::canonical(moved / "share/ossivar/Core Data.tov"));

  const fs::path linked = fs::path(scratch_.path()) / "ossivar";
  fs::create_symlink(Launcher(), linked);
  EXPECT_EQ(Launch(linked.string()).exit_code, 0);
  EXPECT_EQ(fs::read_symlink(Link()), fs::canonical(Content()));
}

TEST_F(LauncherTest, MissingContentOrNoHomeFailsWithAReason) {
  const fs::path broken = fs::path(scratch_.path()) / "broken";
  fs::copy(Prefix(), broken, fs::copy_options::recursive);
  fs::remove(broken / "share/ossivar/Core Data.tov");
  Outcome run = Launch((broken / "bin/ossivar").string());
  EXPECT_NE(run.exit_code, 0);
  EXPECT_NE(run.output.find("content"), std::string::npos) << run.output;
  EXPECT_FALSE(fs::exists(Link()));

  run = Launch(Launcher(), "unset HOME &&");
  EXPECT_NE(run.exit_code, 0);
  EXPECT_NE(run.output.find("HOME is not set"), std::string::npos) << run.output;
}

}  // namespace

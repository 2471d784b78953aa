// The steps the two commands share: installing the packages a command needs
// (against stand-in package tools that record what they were asked), and
// configuring a build folder that an earlier configure may have left behind.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using test_support::ReadFile;
using test_support::TempDir;

const std::string kScripts = std::string(OSSIVAR_SOURCE_DIR) + "/scripts/";

struct Outcome {
  int exit_code = -1;
  std::string output;
};

// Runs a shell command line; its output is kept beside `scratch`.
Outcome RunIn(const TempDir& scratch, const std::string& command) {
  const std::string out = scratch.path() + "/run.out";
  const int status = std::system((command + " > '" + out + "' 2>&1").c_str());
  return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, ReadFile(out)};
}

// The words of `names`, one a line.
void WriteLines(const std::string& path, std::string names) {
  std::replace(names.begin(), names.end(), ' ', '\n');
  std::ofstream(path) << names << '\n';
}

void WriteScript(const fs::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body;
  fs::permissions(path, fs::perms::owner_all, fs::perm_options::add);
}

// setup.sh with dpkg-query, apt-cache, apt-get and id standing in: the
// packages named in `installed` are installed, the archive offers those in
// `archive`, apt-get only logs its arguments and `uid` is the user's id.
class SetupTest : public ::testing::Test {
 protected:
  void SetUp() override {
    fs::create_directory(Bin());
    WriteScript(Bin() / "dpkg-query",
                "grep -qx \"$3\" '" + File("installed") + "' && echo 'install ok installed'\n");
    WriteScript(Bin() / "apt-cache", "grep -qx \"$3\" '" + File("archive") + "'\n");
    WriteScript(Bin() / "apt-get", "echo \"$*\" >> '" + File("apt-get") + "'\n");
    WriteScript(Bin() / "id", "echo 0\n");
    Installed("");
    Archive("g++ cmake ninja-build clang libclang-rt-dev libclang-common-14-dev");
  }

  fs::path Bin() const { return fs::path(scratch_.path()) / "bin"; }
  std::string File(const std::string& name) const { return scratch_.path() + "/" + name; }
  // Package names separated by spaces.
  void Installed(const std::string& names) { WriteLines(File("installed"), names); }
  void Archive(const std::string& names) { WriteLines(File("archive"), names); }
  void AsUser() { WriteScript(Bin() / "id", "echo 1000\n"); }
  std::string AptGet() const { return ReadFile(File("apt-get")); }

  Outcome RunSetup(const std::string& what, const std::string& path_after = ":/usr/bin:/bin") {
    return RunIn(scratch_, "PATH='" + Bin().string() + path_after + "' '" + kScripts + "setup.sh' " + what);
  }

  TempDir scratch_;
};

const std::string kTestLibraries = "libgtest-dev libbenchmark-dev nlohmann-json3-dev";
// The Windows cross-build and wine, and what makes and checks the release
// files, which only the tests use.
const std::string kWindowsAndReleasePackages = "g++-mingw-w64-x86-64 wine64 dpkg-dev lintian mandoc unzip";

TEST_F(SetupTest, AsRootInstallsOnlyWhatTheCommandLacks) {
  const std::string install = "update\ninstall -y --no-install-recommends ";
  const struct {
    std::string installed, purpose, archive, asked;
  } cases[] = {
      {"g++ cmake ninja-build", "game", "", ""},
      // One installed choice of the clang runtime is enough.
      {"g++ cmake ninja-build clang libclang-common-14-dev " + kTestLibraries + " " + kWindowsAndReleasePackages, "all",
       "", ""},
      // The game group brings no test packages.
      {"g++", "game", "", install + "cmake ninja-build\n"},
      {"g++ cmake ninja-build", "all", "",
       install + "clang libclang-rt-dev " + kTestLibraries + " " + kWindowsAndReleasePackages + "\n"},
      // An archive without the first name gets the other.
      {"g++ cmake ninja-build", "all", "clang libclang-common-14-dev",
       install + "clang libclang-common-14-dev " + kTestLibraries + " " + kWindowsAndReleasePackages + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.purpose + " with " + c.installed);
    fs::remove(File("apt-get"));
    Installed(c.installed);
    if (!c.archive.empty()) Archive(c.archive);
    const Outcome run = RunSetup(c.purpose);
    EXPECT_EQ(run.exit_code, 0) << run.output;
    EXPECT_EQ(AptGet(), c.asked);
  }
}

TEST_F(SetupTest, AnotherUserIsToldTheLineToRunAndNothingIsDone) {
  AsUser();
  Installed("g++ ninja-build");
  const Outcome run = RunSetup("game");
  EXPECT_NE(run.exit_code, 0);
  EXPECT_NE(run.output.find("\napt-get update && apt-get install -y --no-install-recommends cmake\n"),
            std::string::npos)
      << run.output;
  EXPECT_EQ(AptGet(), "");
}

TEST_F(SetupTest, WithoutAptGetTheCommandsDecide) {
  // A PATH of only the stand-ins and what the script itself runs.
  fs::remove(Bin() / "apt-get");
  for (const char* tool : {"bash", "env", "tr"}) {
    const fs::path found =
        fs::exists(fs::path("/usr/bin") / tool) ? fs::path("/usr/bin") / tool : fs::path("/bin") / tool;
    fs::create_symlink(found, Bin() / tool);
  }
  WriteScript(Bin() / "cmake", "");
  WriteScript(Bin() / "ninja", "");
  const Outcome missing = RunSetup("game", "");
  EXPECT_NE(missing.exit_code, 0);
  EXPECT_NE(missing.output.find("missing commands: c++"), std::string::npos) << missing.output;
  EXPECT_NE(missing.output.find("g++ cmake ninja-build"), std::string::npos) << missing.output;

  WriteScript(Bin() / "c++", "");
  const Outcome present = RunSetup("game", "");
  EXPECT_EQ(present.exit_code, 0) << present.output;
}

TEST_F(SetupTest, AnUnknownPurposeIsAUsageError) {
  EXPECT_EQ(RunSetup("").exit_code, 2);
  EXPECT_EQ(RunSetup("tests-and-more").exit_code, 2);
  EXPECT_EQ(AptGet(), "");
}

// configure.sh on a folder under a fresh directory, with g++.
class ConfigureTest : public ::testing::Test {
 protected:
  fs::path Folder() const { return fs::path(scratch_.path()) / "build"; }
  fs::path Marker() const { return Folder() / "marker"; }

  Outcome Configure() {
    return RunIn(scratch_, "'" + kScripts + "configure.sh' '" + Folder().string() + "' g++");
  }

  std::string Cached(const std::string& name) const {
    const std::string cache = ReadFile(Folder() / "CMakeCache.txt");
    const auto at = cache.find("\n" + name + ":");
    if (at == std::string::npos) return "";
    const auto value = cache.find('=', at) + 1;
    return cache.substr(value, cache.find('\n', value) - value);
  }

  // A folder as an earlier configure left it: its cache, a marker file and,
  // when that configure got to the end, build.ninja.
  void Leave(const std::string& cache, bool finished) {
    fs::create_directories(Folder());
    std::ofstream(Folder() / "CMakeCache.txt") << cache;
    std::ofstream(Marker()) << "left behind";
    if (finished) std::ofstream(Folder() / "build.ninja") << "";
  }

  TempDir scratch_;
};

TEST_F(ConfigureTest, AGoodFolderIsReusedAndAnyOtherMadeAfresh) {
  Outcome run = Configure();
  ASSERT_EQ(run.exit_code, 0) << run.output;
  EXPECT_EQ(Cached("CMAKE_GENERATOR"), "Ninja");
  const std::string compiler = Cached("CMAKE_CXX_COMPILER");
  EXPECT_EQ(fs::canonical(compiler), fs::canonical("/usr/bin/g++"));
  std::ofstream(Marker()) << "kept";
  ASSERT_EQ(Configure().exit_code, 0);
  EXPECT_TRUE(fs::exists(Marker())) << "a sound folder is configured again in place";

  const std::string home = "CMAKE_HOME_DIRECTORY:INTERNAL=" + std::string(OSSIVAR_SOURCE_DIR) + "\n";
  const struct {
    const char* what;
    std::string cache;
    bool finished;
  } stale[] = {
      {"another generator",
       home + "CMAKE_GENERATOR:INTERNAL=Unix Makefiles\nCMAKE_CXX_COMPILER:FILEPATH=" + compiler + "\n",
       true},
      {"another compiler",
       home + "CMAKE_GENERATOR:INTERNAL=Ninja\nCMAKE_CXX_COMPILER:FILEPATH=/nowhere/c++\n", true},
      {"another source tree",
       "CMAKE_HOME_DIRECTORY:INTERNAL=/nowhere\nCMAKE_GENERATOR:INTERNAL=Ninja\n"
       "CMAKE_CXX_COMPILER:FILEPATH=" +
           compiler + "\n",
       true},
      {"a failed configure",
       home + "CMAKE_GENERATOR:INTERNAL=Ninja\nCMAKE_CXX_COMPILER:FILEPATH=" + compiler + "\n", false},
  };
  for (const auto& left : stale) {
    fs::remove_all(Folder());
    Leave(left.cache, left.finished);
    run = Configure();
    EXPECT_EQ(run.exit_code, 0) << left.what << "\n" << run.output;
    EXPECT_FALSE(fs::exists(Marker())) << left.what;
    EXPECT_EQ(Cached("CMAKE_GENERATOR"), "Ninja") << left.what;
    EXPECT_TRUE(fs::exists(Folder() / "build.ninja")) << left.what;
  }
}

}  // namespace
